/* Prints the given windows from the top of the stack down, as the X server
 * stacks them: each window counts by the top-level window that holds it (a
 * window manager's frame, or the window itself on a bare server).
 * Usage: xstack WINDOW-ID... ; an id that is not on the screen is left out. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

/* The child of the root window that holds `window`, or None. */
static Window top_level_of(Display* display, Window window) {
  for (;;) {
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return None;
    if (children) XFree(children);
    if (parent == root || parent == None) return window;
    window = parent;
  }
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  Window root, parent, *stack = NULL;
  unsigned int count = 0;
  /* The root's children come bottom first. */
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &stack, &count)) return 1;
  for (int level = (int)count - 1; level >= 0; --level) {
    for (int i = 1; i < argc; ++i) {
      Window window = (Window)strtoul(argv[i], NULL, 0);
      if (top_level_of(display, window) == stack[level]) printf("%s\n", argv[i]);
    }
  }
  if (stack) XFree(stack);
  XCloseDisplay(display);
  return 0;
}
