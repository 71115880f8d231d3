#include "ui/application.h"

#include <exception>

namespace ui {

Application::~Application() {
  // Forms go in the reverse order of their creation, the main form last.
  while (!forms_.empty()) forms_.pop_back();
}

void Application::set_title(std::string_view title) {
  title_ = title;
  backend_.set_title(title_);
}

void Application::run() {
  if (terminated_ || !main_form_) return;
  if (!main_form_->visible()) main_form_->show();
  while (!terminated_ && backend_.wait()) {
  }
}

void Application::set_cursor(Cursor cursor) {
  cursor_ = cursor;
  backend_.set_cursor(cursor);
}

void Application::dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const DisplayUnavailable&) {
    throw;
  } catch (const std::exception& error) {
    backend_.show_error(title_, error.what());
  }
}

}  // namespace ui
