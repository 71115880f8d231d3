// The window model realised with plain Win32: user32, gdi32 and comctl32.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"

namespace ui::win32 {

std::wstring widen(std::string_view utf8);
COLORREF to_colorref(Color color);

class Win32Backend final : public Backend {
 public:
  std::unique_ptr<FormPeer> realise(Form& form) override;
  bool wait() override;
  void process_messages() override;
  void set_cursor(Cursor cursor) override;
  void set_title(std::string_view title) override;
  void show_error(std::string_view title, std::string_view message) override;

  // The cursor every window of the program shows, or null for its own.
  HCURSOR cursor() const;

  // The hidden window that stands for the whole program on the taskbar,
  // with the program's title and icon; the forms are owned by it.
  HWND application_window();
  void show_application_window();

  void add_form(HWND window) { forms_.push_back(window); }
  void remove_form(HWND window) { std::erase(forms_, window); }
  HWND main_form() const { return forms_.empty() ? nullptr : forms_.front(); }

 private:
  void dispatch(MSG& message);

  std::vector<HWND> forms_;
  std::wstring title_;
  HWND application_ = nullptr;
  Cursor cursor_ = Cursor::Default;
};

// Creates the native window of a form (see win32_form_window.h).
std::unique_ptr<FormPeer> make_form_window(Win32Backend& backend, Form& form);

}  // namespace ui::win32
