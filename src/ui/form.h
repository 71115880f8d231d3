// The retained window model: forms made of controls, built from a layout
// table and realised by a backend only when first shown.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/shell_request.h"
#include "ui/layout.h"

namespace ui {

class Application;
class Form;
class FormPeer;

struct MenuItem {
  MenuItemProps props;
  std::function<void()> on_click;
  bool is_separator() const { return props.caption == "-"; }
};

struct PopupMenu {
  std::string_view name;
  std::vector<MenuItem> items;
};

class Control {
 public:
  Control(Form& form, const ControlProps& props) : form_(form), props_(props) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const ControlProps& props() const { return props_; }
  std::string_view name() const { return props_.name; }
  Form& form() const { return form_; }

  bool visible() const { return visible_; }
  void set_visible(bool visible);

  // Runs the click handler, as a click, Enter, Space or the accelerator does.
  void click();
  std::function<void()> on_click;

 private:
  Form& form_;
  ControlProps props_;
  bool visible_ = true;
};

class Form {
 public:
  explicit Form(Application& application);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Application& application() const { return application_; }
  const FormProps& props() const { return props_; }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  const std::vector<PopupMenu>& menus() const { return menus_; }
  const PopupMenu* find_menu(std::string_view name) const;
  Control* find_control(std::string_view name) const;

  // The controls in the order a backend creates them: those that take no
  // focus first, back to front, then the focusable ones in tab order, which
  // is the order keyboard navigation follows.
  std::vector<Control*> creation_order() const;

  // The control that gets the focus when the form is shown: its named
  // active control, else the first visible one in tab order.
  Control* initial_focus() const;

  bool visible() const { return visible_; }

  // True while the form is shown modally, from before its window first
  // appears until it is closed.
  bool is_modal() const { return modal_; }

  // The form this one belongs to: it is kept above its owner and hands the
  // input back to it. The main form owns every other form; it has none.
  Form* owner() const;

  // Makes the form visible and brings it to the front. Its show handler runs
  // when this takes it from hidden to shown, before the window appears.
  void show();

  // Shows the form and handles events until it is closed again; meanwhile
  // every other form takes no input.
  void show_modal();

  // Hides the form. Closing the application's main form ends the program.
  void close();

  // The native window, 0 while the form has never been shown.
  core::WindowHandle handle() const;

  // Called by the backend when the window is asked to close (its close box).
  void close_requested() { close(); }

  // Called by the backend when the user picks an entry of a popup menu.
  void choose(const MenuItem& item) {
    if (item.on_click) dispatch(item.on_click);
  }

 protected:
  // Builds the form from its layout and then runs its creation handler. Call
  // it from the derived class's constructor.
  template <class F>
  void load(const FormLayout<F>& layout);

 private:
  void set_props(const FormProps& props) { props_ = props; }
  Control& add_control(const ControlProps& props);
  void dispatch(const std::function<void()>& handler);
  void enable_others(bool enabled);
  FormPeer& peer();

  Application& application_;
  FormProps props_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<PopupMenu> menus_;
  std::function<void()> on_show_;
  std::unique_ptr<FormPeer> peer_;
  bool visible_ = false;
  bool modal_ = false;

  friend class Control;
};

template <class F>
void Form::load(const FormLayout<F>& layout) {
  F& self = static_cast<F&>(*this);
  set_props(layout.props);
  for (const ControlLayout<F>& entry : layout.controls) {
    Control& control = add_control(entry.props);
    if (entry.field) self.*entry.field = &control;
    if (entry.on_click) control.on_click = [&self, fn = entry.on_click] { (self.*fn)(); };
  }
  for (const PopupMenuLayout<F>& menu : layout.menus) {
    PopupMenu& built = menus_.emplace_back(PopupMenu{menu.name, {}});
    for (const MenuItemLayout<F>& item : menu.items) {
      MenuItem& added = built.items.emplace_back(MenuItem{item.props, {}});
      if (item.on_click) added.on_click = [&self, fn = item.on_click] { (self.*fn)(); };
    }
  }
  if (layout.on_show) on_show_ = [&self, fn = layout.on_show] { (self.*fn)(); };
  if (layout.on_create) (self.*layout.on_create)();
}

}  // namespace ui
