// The window model realised with FLTK on X11.
//
// Nothing here touches the display until the first form is realised: a run
// that starts the installer directly never connects to an X server.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ui::fltk {
namespace {

class FormWindow;

class FltkBackend final : public Backend {
 public:
  std::unique_ptr<FormPeer> realise(Form& form) override;
  bool wait() override;
  void process_messages() override;
  void set_cursor(Cursor cursor) override;
  void set_title(std::string_view title) override { title_ = title; }
  void show_error(std::string_view title, std::string_view message) override;

  void forget(FormWindow* window) { std::erase(windows_, window); }
  void apply_cursor(FormWindow& window) const;

 private:
  void open_display();

  std::string title_;
  std::vector<FormWindow*> windows_;
  Cursor cursor_ = Cursor::Default;
  ::Cursor app_starting_ = None;
  bool display_open_ = false;
};

class FormWindow final : public Fl_Double_Window, public FormPeer {
 public:
  FormWindow(FltkBackend& backend, Form& form, const std::string& app_title)
      : Fl_Double_Window(form.spec().client_size.width, form.spec().client_size.height),
        backend_(backend),
        form_(form),
        caption_(form.spec().caption),
        xclass_(app_title.empty() ? "cdstart" : app_title) {
    end();
    label(caption_.c_str());
    xclass(xclass_.c_str());
    if (form.spec().border == BorderStyle::SizeableToolWindow) {
      size_range(1, 1);
    }
    callback(
        [](Fl_Widget*, void* self) { static_cast<FormWindow*>(self)->on_close_box(); }, this);
  }
  ~FormWindow() override { backend_.forget(this); }

  // FormPeer
  void show() override {
    if (!placed_) {
      placed_ = true;
      centre_on_screen();
    }
    const bool first = !shown();
    Fl_Double_Window::show();
    if (first) {
      xid_ = fl_xid(this);
      mark_as_tool_window();
    }
    backend_.apply_cursor(*this);
  }
  void hide() override { Fl_Double_Window::hide(); }
  void bring_to_front() override {
    if (shown()) XRaiseWindow(fl_display, fl_xid(this));
  }
  void set_enabled(bool enabled) override {
    if (enabled) activate(); else deactivate();
  }
  void control_changed(const Control&) override { redraw(); }
  core::WindowHandle handle() const override { return xid_; }

 private:
  void on_close_box() {
    // FLTK closes a window on Escape too; these windows have no cancel button.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    form_.close_requested();
  }

  void centre_on_screen() {
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh);
    position(sx + (sw - w()) / 2, sy + (sh - h()) / 2);
  }

  // A utility window: the window manager gives it a narrow title bar with a
  // close box only. The property goes out right behind the map request, before
  // the window manager can look at the new window.
  void mark_as_tool_window() {
    Atom type = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE", False);
    Atom utility = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE_UTILITY", False);
    XChangeProperty(fl_display, fl_xid(this), type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&utility), 1);
  }

  FltkBackend& backend_;
  Form& form_;
  std::string caption_;
  std::string xclass_;
  core::WindowHandle xid_ = 0;
  bool placed_ = false;
};

void FltkBackend::open_display() {
  if (display_open_) return;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    throw DisplayUnavailable(std::string("cannot open display \"") + XDisplayName(nullptr) +
                             "\"; the menu needs an X server (set DISPLAY)");
  }
  fl_open_display(display);
  display_open_ = true;
  Fl::visual(FL_RGB);
}

std::unique_ptr<FormPeer> FltkBackend::realise(Form& form) {
  open_display();
  auto window = std::make_unique<FormWindow>(*this, form, title_);
  windows_.push_back(window.get());
  return window;
}

bool FltkBackend::wait() {
  if (!display_open_) return false;
  Fl::wait();
  return true;
}

void FltkBackend::process_messages() {
  if (display_open_) Fl::check();
}

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
  if (!display_open_) return;
  if (cursor == Cursor::AppStarting && app_starting_ == None) {
    app_starting_ = XcursorLibraryLoadCursor(fl_display, "left_ptr_watch");
    if (app_starting_ == None) app_starting_ = XCreateFontCursor(fl_display, XC_watch);
  }
  for (FormWindow* window : windows_) apply_cursor(*window);
  XFlush(fl_display);
}

void FltkBackend::show_error(std::string_view title, std::string_view message) {
  const std::string text(message);
  if (!display_open_) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(title.size()), title.data(), text.c_str());
    return;
  }
  fl_message_title(std::string(title).c_str());
  fl_alert("%s", text.c_str());
}

}  // namespace
}  // namespace ui::fltk

namespace ui {

Backend& default_backend() {
  static fltk::FltkBackend backend;
  return backend;
}

}  // namespace ui
