// The native window of one form. win32_form_window.cpp holds the window
// itself (its messages, focus, place and the picture it paints);
// win32_controls.cpp the controls on it (bitmap buttons and labels drawn by
// the form, tooltips, the context menu).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/picture/image.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/win32_painting.h"

namespace ui::win32 {

struct NativeControl {
  Control* model = nullptr;
  HWND window = nullptr;  // none for the page and the picture, which the form draws
  int id = 0;
  std::wstring text;
  std::wstring tooltip;
  HFONT font = nullptr;
  COLORREF text_color = 0;
  std::optional<Bitmap> glyph;
};

class FormWindow final : public FormPeer {
 public:
  FormWindow(Win32Backend& backend, Form& form);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // FormPeer
  void show() override;
  void hide() override { ShowWindow(window_, SW_HIDE); }
  void bring_to_front() override {
    BringWindowToTop(window_);
    SetForegroundWindow(window_);
  }
  void set_enabled(bool enabled) override { EnableWindow(window_, enabled); }
  void control_changed(const Control& control) override;
  core::WindowHandle handle() const override {
    return reinterpret_cast<core::WindowHandle>(window_);
  }

 private:
  // The window (win32_form_window.cpp).
  static void register_class();
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void on_command(int id, int code);
  void take_initial_focus();
  HWND initial_focus() const;
  void centre_on_screen();
  void paint();
  NativeControl* find(HWND window);

  // The controls (win32_controls.cpp).
  HFONT make_font(const Font& font);
  void build_controls();
  static void size_to_text(const NativeControl& label);
  void draw_label(const DRAWITEMSTRUCT& item);
  void draw_button(const DRAWITEMSTRUCT& item);
  void add_tooltips();
  void open_popup_menu(POINT screen);

  Win32Backend& backend_;
  Form& form_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  HWND saved_focus_ = nullptr;
  HFONT window_font_ = nullptr;
  std::vector<HFONT> fonts_;
  std::vector<NativeControl> controls_;
  std::optional<Image> picture_;
  std::optional<Bitmap> stretched_;
  Control* picture_control_ = nullptr;
  bool placed_ = false;
  bool focus_pending_ = false;
};

}  // namespace ui::win32
