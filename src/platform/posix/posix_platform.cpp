// The launcher's system services on Linux and other POSIX systems.
//
// Executables are started directly (never through a shell, never looked up in
// PATH) from their own folder; a file the kernel cannot run, such as a Windows
// installer, goes to the desktop's opener, which may know a compatibility
// layer for it. Documents always go to the opener.
#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/folder_walk.h"
#include "platform/posix/launch_failure.h"
#include "platform/posix/medium_folder.h"
#include "platform/posix/own_executable.h"
#include "platform/posix/spawn.h"

namespace platform {
namespace {

constexpr std::array kOpeners{"/usr/bin/xdg-open", "/usr/local/bin/xdg-open", "/bin/xdg-open"};
constexpr std::array kElevators{"/usr/bin/pkexec", "/bin/pkexec"};

template <std::size_t N>
std::string first_executable(const std::array<const char*, N>& candidates) {
  for (const char* path : candidates) {
    if (::access(path, X_OK) == 0) return path;
  }
  return {};
}

std::string folder_or_root(const std::string& folder) { return folder.empty() ? "/" : folder; }

// Whoever started us may have left descriptors 0 to 2 closed. Filled with
// /dev/null, they keep our own files (the display connection, a pipe) from
// taking their places, where a message for standard error would land in them
// and a started program would find them as its standard input or output.
void open_standard_descriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // The lowest free number, which is fd, as the lower ones are open by now.
    const int null = ::open("/dev/null", O_RDWR);
    if (null > 2) ::close(null);
  }
}

class PosixPlatform final : public Platform {
 public:
  PosixPlatform() { open_standard_descriptors(); }

  core::PathStyle path_style() const override { return core::kPosixPaths; }

  std::string module_path() override { return posix::own_executable(last_error_); }

  std::optional<core::OsVersion> os_version() override {
    utsname name{};
    if (::uname(&name) != 0) return std::nullopt;
    return core::OsVersion{core::kPlatformOther,
                           static_cast<std::uint32_t>(std::strtoul(name.release, nullptr, 10))};
  }

  bool is_present(const std::string& path) override {
    return posix::resolve_path(path).has_value();
  }

  bool shell_execute_ex(const core::ExecuteRequest& request) override {
    const std::string directory = folder_or_root(request.directory);
    const std::optional<std::string> target = posix::resolve_in_folder(directory, request.file);
    if (!target) {
      last_error_ = "no such file";
      return false;
    }
    posix::DetachedCommand command{directory, *target, {*target}, {}};
    if (request.verb == "runas") {
      command.program = first_executable(kElevators);
      if (command.program.empty()) {
        last_error_ = "no elevation helper (pkexec) is installed";
        return false;
      }
      command.argv = {command.program, *target};
    } else {
      command.fallback_opener = first_executable(kOpeners);
    }
    const posix::SpawnResult result = posix::spawn_detached(command);
    if (!result) last_error_ = posix::describe_launch_failure(result, command);
    return static_cast<bool>(result);
  }

  bool shell_execute(const core::OpenRequest& request) override {
    const std::string directory = folder_or_root(request.directory);
    const std::optional<std::string> document = posix::resolve_in_folder(directory, request.file);
    const std::string opener = first_executable(kOpeners);
    if (!document || opener.empty()) return false;
    const std::string argument = posix::path_for_child(directory, *document);
    return static_cast<bool>(posix::spawn_detached({directory, opener, {opener, argument}, {}}));
  }

  std::string last_error() const override { return last_error_; }

 private:
  std::string last_error_;
};

}  // namespace

Platform& native_platform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace platform
