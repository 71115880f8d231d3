// Top-level X windows set up the way window managers read them: type,
// state and owner in place before the first map, later changes as client
// messages to the root window.
#pragma once

#include <X11/X.h>

class Fl_Window;

namespace ui::fltk {

// What the window manager is told about a top-level window.
struct WindowManagerHints {
  bool tool_window = false;  // a narrow title bar with a close box only
  bool resizable = true;
  bool stays_on_top = false;  // above every window that is not itself on top
  bool modal = false;         // its owner takes no input meanwhile
  Window owner = None;        // kept below this window, and given the input back
  friend bool operator==(const WindowManagerHints&, const WindowManagerHints&) = default;
};

// Creates the X window of a window that is not shown, with the hints and
// everything else FLTK tells a window manager, and maps it. `centred`: the
// frame that a window manager adds is to be centred where the window's
// centre is, so the window moves by half the difference of the frame's
// sides.
void map_new_window(Fl_Window& window, const WindowManagerHints& hints, bool centred);

// Tells the window manager what changed in the hints of a shown window.
void update_hints(Fl_Window& window, const WindowManagerHints& was, const WindowManagerHints& now);

}  // namespace ui::fltk
