/* The floor for a painted menu: map a 385 x 218 window and draw one line of
 * text in the menu's largest font with Xft, as a minimal client would. */
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

int main(void) {
  Display* display = XOpenDisplay(0);
  if (!display) return 1;
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 385, 218, 0, 0,
                                      0xD4D0C8);
  XSelectInput(display, window, ExposureMask);
  XMapWindow(display, window);
  XftFont* font = XftFontOpenName(display, screen, "Arial:bold:italic:pixelsize=21");
  XftDraw* draw = XftDrawCreate(display, window, DefaultVisual(display, screen),
                                DefaultColormap(display, screen));
  XftColor black;
  XRenderColor rgb = {0, 0, 0, 0xFFFF};
  XftColorAllocValue(display, DefaultVisual(display, screen), DefaultColormap(display, screen),
                     &rgb, &black);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && event.xexpose.count == 0) {
      XftDrawStringUtf8(draw, &black, font, 40, 42, (const FcChar8*)"Programm installieren",
                        21);
      XftDrawRect(draw, &black, 0, 0, 1, 1);  /* a marker the probe waits for */
    }
  }
}
