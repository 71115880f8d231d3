// A backend without a screen, for tests: it draws nothing, writes what the
// model asks of it into a journal, and plays back scripted user input.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"

namespace ui::headless {

class HeadlessBackend final : public Backend {
 public:
  // Entries such as "realise Form1", "show Form1", "cursor AppStarting".
  // Tests may append their own entries to see the order of everything.
  std::vector<std::string> journal;

  // User input that wait() plays back, one entry per call.
  std::deque<std::function<void()>> input;

  // False: there is no screen, and realising a form fails as without one.
  bool has_display = true;

  std::unique_ptr<FormPeer> realise(Form& form) override;
  bool wait() override;
  void process_messages() override;
  void set_cursor(Cursor cursor) override;
  void set_title(std::string_view title) override;
  void show_error(std::string_view title, std::string_view message) override;

  core::WindowHandle next_handle = 0x1000;
};

}  // namespace ui::headless
