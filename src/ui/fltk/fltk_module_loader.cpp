// Loads the FLTK module, which the program carries inside itself, the first
// time a window is to be shown. Until then the backend only remembers the
// title and cursor it is given; a direct start of the installer ends before
// any of FLTK, X11 or fontconfig is loaded.
//
// The module's bytes go into a file of their own, never onto the disk, and
// are loaded from there: a sealed memory file, or where the system refuses
// one, an unnamed private file (ui/fltk/module_file.h says why nobody else
// can change either). The program exports its window model (the ui
// namespace) for the module; everything else in it stays private, including
// the C++ runtime it carries.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fltk_module_bytes.h"
#include "ui/backend.h"
#include "ui/fltk/fltk_module.h"
#include "ui/fltk/module_file.h"

namespace ui::fltk {
namespace {

Backend& load_module() {
  // The loader takes a file by its name only; a file that has none is named
  // through /proc. (Without /proc there is no name that only we can reach.)
  if (::access("/proc/self/fd", F_OK) != 0) {
    throw DisplayUnavailable("cannot load the window system: /proc is not mounted");
  }
  void* module = nullptr;
  {
    // Until the file is closed again, not even its descriptor is open to
    // another process.
    const HiddenFromOtherProcesses hidden;
    std::string error;
    const int fd = make_module_file(embedded::kFltkModule, error);
    if (fd < 0) throw DisplayUnavailable("cannot load the window system: " + error);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ::close(fd);
  }
  if (!module) {
    const char* why = ::dlerror();
    throw DisplayUnavailable(std::string("cannot load the window system: ") +
                             (why ? why : "the module could not be loaded"));
  }
  auto open = reinterpret_cast<OpenModule>(::dlsym(module, kModuleEntry));
  if (!open) throw DisplayUnavailable("cannot load the window system: no entry in the module");
  char error[512] = {};
  Backend* backend = open(error, sizeof error);
  if (!backend) throw DisplayUnavailable(error);
  return *backend;
}

class LazyBackend final : public Backend {
 public:
  std::unique_ptr<FormPeer> realise(Form& form) override { return loaded().realise(form); }
  bool wait() override { return real_ && real_->wait(); }
  void process_messages() override {
    if (real_) real_->process_messages();
  }
  void set_cursor(Cursor cursor) override {
    cursor_ = cursor;
    if (real_) real_->set_cursor(cursor);
  }
  void set_title(std::string_view title) override {
    title_ = title;
    if (real_) real_->set_title(title);
  }
  void show_error(std::string_view title, std::string_view message) override {
    if (real_) {
      real_->show_error(title, message);
      return;
    }
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(message.size()), message.data());
  }

 private:
  Backend& loaded() {
    if (!real_) {
      Backend& backend = load_module();
      backend.set_title(title_);
      backend.set_cursor(cursor_);
      real_ = &backend;
    }
    return *real_;
  }

  Backend* real_ = nullptr;
  std::string title_;
  Cursor cursor_ = Cursor::Default;
};

}  // namespace
}  // namespace ui::fltk

namespace ui {

Backend& default_backend() {
  static fltk::LazyBackend backend;
  return backend;
}

}  // namespace ui
