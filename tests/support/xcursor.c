/* Prints an identity of the cursor the pointer shows now, as a person sees
 * it: its size, hot spot and a checksum of its pixels. Usage: xcursor */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  XFixesCursorImage* cursor = XFixesGetCursorImage(display);
  if (!cursor) return 1;
  unsigned long sum = 0;
  for (int i = 0; i < cursor->width * cursor->height; ++i) sum = sum * 31 + cursor->pixels[i];
  printf("%dx%d+%d+%d:%lx\n", cursor->width, cursor->height, cursor->xhot, cursor->yhot, sum);
  XFree(cursor);
  XCloseDisplay(display);
  return 0;
}
