/* Prints the colour of pixels as a person sees them: xpixel WINDOW X Y [X Y ...]
 * WINDOW is an id or "root"; coordinates are relative to it. One RRGGBB a line.
 * xpixel WINDOW --ink X Y WIDTH HEIGHT prints how far ink reaches in that
 * rectangle: one past the last column, counted from X, that holds a pixel
 * of another colour than the rectangle's most common one (0: none). */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int ink_reach(XImage* image, int left, int top, int width, int height) {
  /* The background is the colour that most of the rectangle's pixels have. */
  unsigned long background = 0;
  int best = -1;
  for (int i = 0; i < width * height; i += 7) {
    unsigned long candidate = XGetPixel(image, left + i % width, top + i / width);
    int count = 0;
    for (int j = 0; j < width * height; ++j) {
      count += XGetPixel(image, left + j % width, top + j / width) == candidate;
    }
    if (count > best) best = count, background = candidate;
  }
  for (int x = width - 1; x >= 0; --x) {
    for (int y = 0; y < height; ++y) {
      if (XGetPixel(image, left + x, top + y) != background) return x + 1;
    }
  }
  return 0;
}

int main(int argc, char** argv) {
  int ink = argc == 7 && strcmp(argv[2], "--ink") == 0;
  if (!ink && (argc < 4 || argc % 2 != 0)) return 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  Window window = strcmp(argv[1], "root") == 0 ? DefaultRootWindow(display)
                                               : (Window)strtoul(argv[1], NULL, 0);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return 1;
  XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width,
                            (unsigned)attributes.height, AllPlanes, ZPixmap);
  if (!image) return 1;
  if (ink) {
    int x = atoi(argv[3]), y = atoi(argv[4]), w = atoi(argv[5]), h = atoi(argv[6]);
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > attributes.width || y + h > attributes.height) {
      printf("outside\n");
    } else {
      printf("%d\n", ink_reach(image, x, y, w, h));
    }
  }
  for (int i = 2; !ink && i + 1 < argc; i += 2) {
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
