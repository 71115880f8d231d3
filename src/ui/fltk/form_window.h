// The FLTK window behind one form of the window model.
#pragma once

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/backend.h"
#include "ui/fltk/fltk_widgets.h"
#include "ui/fltk/x11_window.h"
#include "ui/form.h"

namespace ui::fltk {

class FltkBackend;

class FormWindow final : public Fl_Double_Window, public FormPeer {
 public:
  FormWindow(FltkBackend& backend, Form& form, const std::string& app_title);
  ~FormWindow() override;

  // FormPeer. show() is also Fl_Window's: FLTK calls it to raise a window.
  void show() override;
  void hide() override { Fl_Double_Window::hide(); }
  void bring_to_front() override;
  void set_enabled(bool enabled) override;
  void control_changed(const Control& control) override;
  core::WindowHandle handle() const override;

  // Fl_Window
  int handle(int event) override;
  void resize(int X, int Y, int W, int H) override;

 private:
  void build_controls();
  Fl_Widget* make_widget(Control& control);
  Fl_Widget* initial_focus() const;
  void set_icons(Picture icon);
  void on_close_box();
  void centre_on_screen();
  WindowManagerHints window_manager_hints() const;

  FltkBackend& backend_;
  Form& form_;
  std::string caption_;
  std::string xclass_;
  std::vector<std::pair<Control*, Fl_Widget*>> widgets_;
  std::unique_ptr<PixelImage> icon32_;
  std::unique_ptr<PixelImage> icon16_;
  WindowManagerHints hints_;  // as the window manager was last told
  bool placed_ = false;
  bool enabled_ = true;
};

}  // namespace ui::fltk
