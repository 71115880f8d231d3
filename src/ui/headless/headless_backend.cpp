#include "ui/headless/headless_backend.h"

#include "ui/form.h"

namespace ui::headless {
namespace {

class HeadlessPeer final : public FormPeer {
 public:
  HeadlessPeer(HeadlessBackend& backend, const Form& form, core::WindowHandle handle)
      : backend_(backend), form_(form), name_(form.props().name), handle_(handle) {}

  // A modal form shows as such: "show_modal About".
  void show() override { note(form_.is_modal() ? "show_modal" : "show"); }
  void hide() override { note("hide"); }
  void bring_to_front() override { note("bring_to_front"); }
  void set_enabled(bool enabled) override { note(enabled ? "enable" : "disable"); }
  void control_changed(const Control& control) override {
    backend_.journal.push_back("control " + std::string(control.name()) +
                               (control.visible() ? " visible" : " hidden"));
  }
  core::WindowHandle handle() const override { return handle_; }

 private:
  void note(std::string_view what) {
    backend_.journal.push_back(std::string(what) + " " + name_);
  }

  HeadlessBackend& backend_;
  const Form& form_;
  std::string name_;
  core::WindowHandle handle_;
};

constexpr const char* cursor_name(Cursor cursor) {
  return cursor == Cursor::AppStarting ? "AppStarting" : "Default";
}

}  // namespace

std::unique_ptr<FormPeer> HeadlessBackend::realise(Form& form) {
  if (!has_display) throw DisplayUnavailable("cannot open display");
  journal.push_back("realise " + std::string(form.props().name));
  return std::make_unique<HeadlessPeer>(*this, form, next_handle++);
}

bool HeadlessBackend::wait() {
  if (input.empty()) return false;
  auto event = std::move(input.front());
  input.pop_front();
  event();
  return true;
}

void HeadlessBackend::process_messages() { journal.emplace_back("process_messages"); }

void HeadlessBackend::set_cursor(Cursor cursor) {
  journal.push_back(std::string("cursor ") + cursor_name(cursor));
}

void HeadlessBackend::set_title(std::string_view title) {
  journal.push_back("title " + std::string(title));
}

void HeadlessBackend::show_error(std::string_view title, std::string_view message) {
  journal.push_back("error " + std::string(title) + ": " + std::string(message));
}

}  // namespace ui::headless

namespace ui {

Backend& default_backend() {
  static headless::HeadlessBackend backend;
  return backend;
}

}  // namespace ui
