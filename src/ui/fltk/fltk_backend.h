// The window model realised with FLTK on X11. The backend and its windows
// make up the module that the program loads when its first window is shown.
#pragma once

#include <X11/X.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"

namespace ui::fltk {

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

}  // namespace ui::fltk
