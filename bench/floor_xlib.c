/* The floor for the menu's start: map a 385 x 218 window in the button-face
 * colour with plain Xlib and wait. */
#include <X11/Xlib.h>

int main(void) {
  Display* display = XOpenDisplay(0);
  if (!display) return 1;
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 385, 218, 0, 0,
                                      0xD4D0C8);
  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}
