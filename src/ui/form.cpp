#include "ui/form.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/backend.h"

namespace ui {

void Control::set_visible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (form_.peer_) form_.peer_->control_changed(*this);
}

void Control::click() {
  if (on_click) form_.dispatch(on_click);
}

Form::Form(Application& application) : application_(application) {}
Form::~Form() = default;

Control& Form::add_control(const ControlProps& props) {
  return *controls_.emplace_back(std::make_unique<Control>(*this, props));
}

Control* Form::find_control(std::string_view name) const {
  for (const auto& control : controls_) {
    if (control->name() == name) return control.get();
  }
  return nullptr;
}

std::vector<Control*> Form::creation_order() const {
  std::vector<Control*> order;
  for (const auto& control : controls_) order.push_back(control.get());
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
    return std::max(a->props().tab_order, -1) < std::max(b->props().tab_order, -1);
  });
  return order;
}

Control* Form::initial_focus() const {
  Control* named = find_control(props_.active_control);
  if (named && named->visible()) return named;
  Control* first = nullptr;
  for (const auto& control : controls_) {
    const int order = control->props().tab_order;
    if (order < 0 || !control->visible()) continue;
    if (!first || order < first->props().tab_order) first = control.get();
  }
  return first;
}

const PopupMenu* Form::find_menu(std::string_view name) const {
  for (const PopupMenu& menu : menus_) {
    if (menu.name == name) return &menu;
  }
  return nullptr;
}

void Form::dispatch(const std::function<void()>& handler) { application_.dispatch(handler); }

FormPeer& Form::peer() {
  if (!peer_) peer_ = application_.backend().realise(*this);
  return *peer_;
}

Form* Form::owner() const {
  Form* main = application_.main_form();
  return main == this ? nullptr : main;
}

core::WindowHandle Form::handle() const { return peer_ ? peer_->handle() : 0; }

void Form::show() {
  FormPeer& native = peer();
  if (!visible_) {
    visible_ = true;
    if (on_show_) on_show_();
  }
  native.show();
  native.bring_to_front();
}

void Form::enable_others(bool enabled) {
  for (const auto& form : application_.forms()) {
    if (form.get() != this && form->peer_) form->peer_->set_enabled(enabled);
  }
}

void Form::show_modal() {
  // Modal before the window appears, so that the window system treats it
  // as modal from its first moment.
  modal_ = true;
  try {
    show();
  } catch (...) {
    modal_ = false;
    throw;
  }
  enable_others(false);
  Backend& backend = application_.backend();
  while (visible_ && !application_.terminated() && backend.wait()) {
  }
  if (modal_) enable_others(true);
  modal_ = false;
}

void Form::close() {
  // The other forms take input again before this one goes, so that the
  // window system hands the activation back to them and not elsewhere.
  if (modal_) {
    enable_others(true);
    modal_ = false;
  }
  if (visible_) {
    visible_ = false;
    if (peer_) peer_->hide();
  }
  if (application_.main_form() == this) application_.terminate();
}

}  // namespace ui
