// What a backend does to realise the window model on a real (or no) screen.
// The model calls down through these interfaces; a backend calls back up
// through the public methods of Form, Control and Application.
#pragma once

#include <memory>
#include <exception>
#include <string>
#include <string_view>

#include "core/shell_request.h"
#include "ui/types.h"

namespace ui {

class Control;
class Form;
struct MenuItem;

// Thrown by realise() when there is no screen to show a window on. (Not a
// std::runtime_error: on Windows that alone would link in a second string
// implementation, some 80 KB.)
class DisplayUnavailable : public std::exception {
 public:
  explicit DisplayUnavailable(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The native window behind one form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual void bring_to_front() = 0;
  virtual void set_enabled(bool enabled) = 0;  // off while a modal form is up
  virtual void control_changed(const Control& control) = 0;
  virtual core::WindowHandle handle() const = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Creates the native window for `form`, hidden. The first call opens the
  // connection to the display; nothing before it touches the display.
  virtual std::unique_ptr<FormPeer> realise(Form& form) = 0;

  // Handles events, blocking until at least one has been handled. False when
  // no event can come any more.
  virtual bool wait() = 0;

  // Handles the events that are pending now, without blocking.
  virtual void process_messages() = 0;

  virtual void set_cursor(Cursor cursor) = 0;
  virtual void set_title(std::string_view title) = 0;

  // Tells the user about an error that escaped an event handler.
  virtual void show_error(std::string_view title, std::string_view message) = 0;
};

// The backend this program was built with.
Backend& default_backend();

}  // namespace ui
