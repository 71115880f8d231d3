/* Prints the colour of pixels as a person sees them: xpixel WINDOW X Y [X Y ...]
 * WINDOW is an id or "root"; coordinates are relative to it. One RRGGBB a line. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) return 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  Window window = strcmp(argv[1], "root") == 0 ? DefaultRootWindow(display)
                                               : (Window)strtoul(argv[1], NULL, 0);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return 1;
  XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width,
                            (unsigned)attributes.height, AllPlanes, ZPixmap);
  if (!image) return 1;
  for (int i = 2; i + 1 < argc; i += 2) {
    int x = atoi(argv[i]), y = atoi(argv[i + 1]);
    if (x < 0 || y < 0 || x >= attributes.width || y >= attributes.height) {
      printf("outside\n");
      continue;
    }
    unsigned long pixel = XGetPixel(image, x, y);
    printf("%02lX%02lX%02lX\n", (pixel & image->red_mask) >> 16,
           (pixel & image->green_mask) >> 8, pixel & image->blue_mask);
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}
