#include "ui/fltk/fltk_backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "ui/fltk/fltk_module.h"
#include "ui/fltk/form_window.h"

namespace ui::fltk {

bool FltkBackend::open_display(std::string& error) {
  if (display_open_) return true;
  errno = 0;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    const int why = errno;
    error = std::string("cannot open display \"") + XDisplayName(nullptr) + "\"" +
            (why ? std::string(" (") + std::strerror(why) + ")" : std::string()) +
            "; the menu needs an X server (set DISPLAY)";
    return false;
  }
  fl_open_display(display);
  display_open_ = true;
  Fl::visible_focus(1);
  Fl_Tooltip::enable(1);
  return true;
}

std::unique_ptr<FormPeer> FltkBackend::realise(Form& form) {
  auto window = std::make_unique<FormWindow>(*this, form, title_);
  windows_.push_back(window.get());
  return window;
}

// The module hands out this backend only once the display is open (the
// loader stands in until then), so nothing below checks for it again.
bool FltkBackend::wait() {
  Fl::wait();
  return true;
}

void FltkBackend::process_messages() { Fl::check(); }

void FltkBackend::apply_cursor(FormWindow& window) const {
  if (!window.shown()) return;
  if (cursor_ == Cursor::AppStarting && app_starting_ != None) {
    XDefineCursor(fl_display, fl_xid(&window), app_starting_);
  } else {
    XUndefineCursor(fl_display, fl_xid(&window));
  }
}

void FltkBackend::set_cursor(Cursor cursor) {
  cursor_ = cursor;
  if (cursor == Cursor::AppStarting && app_starting_ == None) {
    app_starting_ = XcursorLibraryLoadCursor(fl_display, "left_ptr_watch");
    if (app_starting_ == None) app_starting_ = XCreateFontCursor(fl_display, XC_watch);
  }
  for (FormWindow* window : windows_) apply_cursor(*window);
  XFlush(fl_display);
}

void FltkBackend::show_error(std::string_view title, std::string_view message) {
  const std::string text(message);
  const std::string caption(title);
  fl_message_title(caption.c_str());
  fl_alert("%s", text.c_str());
}

}  // namespace ui::fltk

extern "C" __attribute__((visibility("default"))) ui::Backend* cdstart_fltk_open(
    char* error, std::size_t error_size) {
  static_assert(std::is_same_v<decltype(&cdstart_fltk_open), ui::fltk::OpenModule>);
  static ui::fltk::FltkBackend backend;
  std::string reason;
  if (backend.open_display(reason)) return &backend;
  std::snprintf(error, error_size, "%s", reason.c_str());
  return nullptr;
}
