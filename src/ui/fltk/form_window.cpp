#include "ui/fltk/form_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Tooltip.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include "ui/fltk/fltk_backend.h"

namespace ui::fltk {
namespace {

std::unique_ptr<PixelImage> pixels_of(Picture picture, int icon_size = 32) {
  std::optional<Image> image = load_picture(picture, icon_size);
  if (!image) return nullptr;
  return std::make_unique<PixelImage>(std::move(*image));
}

// Events that a window taking no input must not pass to its controls: the
// input itself, and the pointer coming over a control, which would show
// the control's tooltip.
bool reaches_controls(int event) {
  switch (event) {
    case FL_PUSH: case FL_RELEASE: case FL_DRAG: case FL_MOUSEWHEEL:
    case FL_KEYBOARD: case FL_KEYUP: case FL_SHORTCUT:
    case FL_ENTER: case FL_MOVE:
      return true;
    default:
      return false;
  }
}

bool is_tool_window(BorderStyle border) {
  switch (border) {
    case BorderStyle::SizeableToolWindow: case BorderStyle::ToolWindow:
      return true;
  }
  return false;
}

}  // namespace

FormWindow::FormWindow(FltkBackend& backend, Form& form, const std::string& app_title)
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

FormWindow::~FormWindow() { backend_.forget(this); }

void FormWindow::show() {
  const WindowManagerHints hints = window_manager_hints();
  if (!shown()) {
    const bool first_showing = !placed_;
    if (first_showing) {
      placed_ = true;
      centre_on_screen();
    }
    map_new_window(*this, hints, first_showing);
    // A new showing starts on its first control; a raised window keeps its focus.
    if (Fl_Widget* first_control = initial_focus()) first_control->take_focus();
  } else {
    update_hints(*this, hints_, hints);
    Fl_Double_Window::show();
  }
  hints_ = hints;
  backend_.apply_cursor(*this);
}

void FormWindow::bring_to_front() {
  if (shown()) XRaiseWindow(fl_display, fl_xid(this));
}

void FormWindow::set_enabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) return;
  // The pointer no longer counts as over any control here, and a tooltip
  // that is up or pending goes.
  if (Fl_Widget* below = Fl::belowmouse(); below && contains(below)) Fl::belowmouse(nullptr);
  if (Fl_Widget* tipped = Fl_Tooltip::current(); tipped && contains(tipped)) {
    Fl_Tooltip::current(nullptr);
  }
}

void FormWindow::control_changed(const Control& control) {
  for (auto& [model, widget] : widgets_) {
    if (model != &control) continue;
    if (control.visible()) widget->show(); else widget->hide();
  }
  redraw();
}

core::WindowHandle FormWindow::handle() const { return fl_xid(this); }

int FormWindow::handle(int event) {
  if (!enabled_ && reaches_controls(event)) return 1;  // a modal form is up
  return Fl_Double_Window::handle(event);
}

void FormWindow::resize(int X, int Y, int W, int H) {
  Fl_Double_Window::resize(X, Y, W, H);
  for (auto& [model, widget] : widgets_) {
    if (model->props().fills_client) widget->resize(0, 0, W, H);
  }
}

void FormWindow::build_controls() {
  for (Control* control : form_.creation_order()) {
    Fl_Widget* widget = make_widget(*control);
    if (control->props().fills_client) widget->resize(0, 0, w(), h());
    if (!control->visible()) widget->hide();
    widgets_.emplace_back(control, widget);
  }
}

Fl_Widget* FormWindow::make_widget(Control& control) {
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

Fl_Widget* FormWindow::initial_focus() const {
  const Control* wanted = form_.initial_focus();
  for (const auto& [model, widget] : widgets_) {
    if (model == wanted) return widget;
  }
  return nullptr;
}

void FormWindow::set_icons(Picture icon) {
  if (icon == Picture::Empty) return;
  icon32_ = pixels_of(icon, 32);
  icon16_ = pixels_of(icon, 16);
  const Fl_RGB_Image* icons[2];
  int count = 0;
  if (icon32_) icons[count++] = &icon32_->fl();
  if (icon16_) icons[count++] = &icon16_->fl();
  if (count) this->icons(icons, count);
}

void FormWindow::on_close_box() {
  // FLTK closes a window on Escape too; these windows have no cancel button.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  if (!enabled_) return;
  form_.close_requested();
}

// The window's centre on the screen's; map_new_window() centres a window
// manager's frame on the same point.
void FormWindow::centre_on_screen() {
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  position(sx + (sw - w()) / 2, sy + (sh - h()) / 2);
  force_position(1);
}

WindowManagerHints FormWindow::window_manager_hints() const {
  const Form* owner = form_.owner();
  return {.tool_window = is_tool_window(form_.props().border),
          .resizable = form_.props().border == BorderStyle::SizeableToolWindow,
          .stays_on_top = form_.props().stays_on_top,
          .modal = form_.is_modal(),
          .owner = owner && owner->visible() ? static_cast<Window>(owner->handle()) : None};
}

}  // namespace ui::fltk
