// The window model realised with FLTK on X11. This file and the widgets
// make up the module that the program loads when its first window is shown.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <type_traits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/fltk/fltk_module.h"
#include "ui/fltk/fltk_widgets.h"
#include "ui/form.h"

namespace ui::fltk {
namespace {

class FormWindow;

class FltkBackend final : public Backend {
 public:
  // False, with the reason in `error`, when there is no display to open.
  bool open_display(std::string& error);

  std::unique_ptr<FormPeer> realise(Form& form) override;
  bool wait() override;
  void process_messages() override;
  void set_cursor(Cursor cursor) override;
  void set_title(std::string_view title) override { title_ = title; }
  void show_error(std::string_view title, std::string_view message) override;

  void forget(FormWindow* window) { std::erase(windows_, window); }
  void apply_cursor(FormWindow& window) const;

 private:
  std::string title_;
  std::vector<FormWindow*> windows_;
  Cursor cursor_ = Cursor::Default;
  ::Cursor app_starting_ = None;
  bool display_open_ = false;
};

std::unique_ptr<PixelImage> pixels_of(Picture picture, int icon_size = 32) {
  std::optional<Image> image = load_picture(picture, icon_size);
  if (!image) return nullptr;
  return std::make_unique<PixelImage>(std::move(*image));
}

void set_atom_property(Window window, const char* property, const char* value, bool append) {
  Atom name = XInternAtom(fl_display, property, False);
  Atom atom = XInternAtom(fl_display, value, False);
  XChangeProperty(fl_display, window, name, XA_ATOM, 32, append ? PropModeAppend : PropModeReplace,
                  reinterpret_cast<unsigned char*>(&atom), 1);
}

class FormWindow final : public Fl_Double_Window, public FormPeer {
 public:
  FormWindow(FltkBackend& backend, Form& form, const std::string& app_title)
      : Fl_Double_Window(form.props().client_size.width, form.props().client_size.height),
        backend_(backend),
        form_(form),
        caption_(form.props().caption),
        xclass_(app_title.empty() ? "cdstart" : app_title) {
    const FormProps& props = form.props();
    label(caption_.c_str());
    xclass(xclass_.c_str());
    color(to_fl_color(props.color));
    labelfont(to_fl_font(props.font.family, props.font.style));
    labelsize(props.font.pixel_height);
    build_controls();
    end();
    // Children keep their places when the window is resized (no resizable
    // widget); resize() below stretches only the fill-client controls.
    resizable(nullptr);
    if (props.border == BorderStyle::SizeableToolWindow) {
      size_range(1, 1);
    } else {
      size_range(w(), h(), w(), h());
    }
    set_icons(props.icon);
    callback([](Fl_Widget*, void* self) { static_cast<FormWindow*>(self)->on_close_box(); }, this);
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
      set_window_manager_hints();
    }
    if (Fl_Widget* first_control = initial_focus()) first_control->take_focus();
    backend_.apply_cursor(*this);
  }
  void hide() override { Fl_Double_Window::hide(); }
  void bring_to_front() override {
    if (shown()) XRaiseWindow(fl_display, fl_xid(this));
  }
  void set_enabled(bool enabled) override { enabled_ = enabled; }
  void control_changed(const Control& control) override {
    for (auto& [model, widget] : widgets_) {
      if (model != &control) continue;
      if (control.visible()) widget->show(); else widget->hide();
    }
    redraw();
  }
  core::WindowHandle handle() const override { return xid_; }

  // Fl_Window
  int handle(int event) override {
    if (!enabled_ && takes_input(event)) return 1;  // a modal form is up
    return Fl_Double_Window::handle(event);
  }
  void resize(int X, int Y, int W, int H) override {
    Fl_Double_Window::resize(X, Y, W, H);
    for (auto& [model, widget] : widgets_) {
      if (model->props().fills_client) widget->resize(0, 0, W, H);
    }
  }

 private:
  static bool takes_input(int event) {
    switch (event) {
      case FL_PUSH: case FL_RELEASE: case FL_DRAG: case FL_MOUSEWHEEL:
      case FL_KEYBOARD: case FL_KEYUP: case FL_SHORTCUT:
        return true;
      default:
        return false;
    }
  }

  void build_controls() {
    for (Control* control : form_.creation_order()) {
      Fl_Widget* widget = make_widget(*control);
      if (control->props().fills_client) widget->resize(0, 0, w(), h());
      if (!control->visible()) widget->hide();
      widgets_.emplace_back(control, widget);
    }
  }

  Fl_Widget* make_widget(Control& control) {
    const ControlProps& props = control.props();
    const Font font = props.font.value_or(form_.props().font);
    const Rect& r = props.bounds;
    switch (props.kind) {
      case ControlKind::Page: {
        auto* page = new Fl_Box(FL_FLAT_BOX, r.left, r.top, r.width, r.height, nullptr);
        page->color(color());
        return page;
      }
      case ControlKind::Image:
        return new PictureWidget(control, load_picture(props.picture));
      case ControlKind::BitButton: {
        auto* button = new BitButtonWidget(control, font, pixels_of(props.picture));
        if (props.tab_order < 0) button->clear_visible_focus();
        return button;
      }
      case ControlKind::Label: {
        auto* text = new Fl_Box(r.left, r.top, r.width, r.height);
        text->copy_label(std::string(props.caption).c_str());
        text->labelfont(to_fl_font(font.family, font.style));
        text->labelsize(font.pixel_height);
        text->labelcolor(to_fl_color(font.color));
        text->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        int width = 0, height = 0;
        text->measure_label(width, height);  // sized to its text
        text->size(width, height);
        return text;
      }
    }
    return nullptr;
  }

  Fl_Widget* initial_focus() const {
    const Control* wanted = form_.initial_focus();
    for (const auto& [model, widget] : widgets_) {
      if (model == wanted) return widget;
    }
    return nullptr;
  }

  void set_icons(Picture icon) {
    if (icon == Picture::Empty) return;
    icon32_ = pixels_of(icon, 32);
    icon16_ = pixels_of(icon, 16);
    const Fl_RGB_Image* icons[2];
    int count = 0;
    if (icon32_) icons[count++] = &icon32_->fl();
    if (icon16_) icons[count++] = &icon16_->fl();
    if (count) this->icons(icons, count);
  }

  void on_close_box() {
    // FLTK closes a window on Escape too; these windows have no cancel button.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    if (!enabled_) return;
    form_.close_requested();
  }

  void centre_on_screen() {
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh);
    position(sx + (sw - w()) / 2, sy + (sh - h()) / 2);
  }

  // A tool window: the window manager gives it a narrow title bar with a close
  // box only. The properties go out right behind the map request, before the
  // window manager can look at the new window.
  void set_window_manager_hints() {
    set_atom_property(xid_, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_UTILITY", false);
    if (form_.props().stays_on_top) {
      set_atom_property(xid_, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", true);
    }
  }

  FltkBackend& backend_;
  Form& form_;
  std::string caption_;
  std::string xclass_;
  std::vector<std::pair<Control*, Fl_Widget*>> widgets_;
  std::unique_ptr<PixelImage> icon32_;
  std::unique_ptr<PixelImage> icon16_;
  Window xid_ = 0;
  bool placed_ = false;
  bool enabled_ = true;
};

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

}  // namespace
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
