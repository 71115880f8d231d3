// The application object: owns the forms, runs the one event loop, and keeps
// the application-wide cursor.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

class Application {
 public:
  explicit Application(Backend& backend) : backend_(backend) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

  Backend& backend() const { return backend_; }

  const std::string& title() const { return title_; }
  void set_title(std::string_view title);

  // Creates a form; its creation handler runs inside this call. The first
  // form created becomes the main form once its creation has finished.
  template <class F, class... Args>
  F& create_form(Args&&... args) {
    auto form = std::make_unique<F>(*this, std::forward<Args>(args)...);
    F& created = *form;
    forms_.push_back(std::move(form));
    if (!main_form_) main_form_ = &created;
    return created;
  }

  Form* main_form() const { return main_form_; }
  const std::vector<std::unique_ptr<Form>>& forms() const { return forms_; }

  // Shows the main form unless the end was already requested, then handles
  // events until the main form is closed or the end is requested.
  void run();

  // Requests the end of the program; the loop stops when it gets there.
  void terminate() { terminated_ = true; }
  bool terminated() const { return terminated_; }

  // Handles the events that are pending now, once.
  void process_messages() { backend_.process_messages(); }

  Cursor cursor() const { return cursor_; }
  void set_cursor(Cursor cursor);

  // Runs an event handler; an exception escaping it is shown to the user,
  // and the program carries on.
  void dispatch(const std::function<void()>& handler);

 private:
  Backend& backend_;
  std::string title_;
  std::vector<std::unique_ptr<Form>> forms_;
  Form* main_form_ = nullptr;
  Cursor cursor_ = Cursor::Default;
  bool terminated_ = false;
};

}  // namespace ui
