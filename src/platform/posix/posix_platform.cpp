// The launcher's system services on Linux and other POSIX systems.
//
// Executables are started directly (never through a shell, never looked up in
// PATH) from their own folder; a file the kernel cannot run, such as a Windows
// installer, goes to the desktop's opener, which may know a compatibility
// layer for it. Documents always go to the opener.
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/medium_folder.h"
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

class PosixPlatform final : public Platform {
 public:
  core::PathStyle path_style() const override { return core::kPosixPaths; }

  std::string module_path() override {
    std::string path(256, '\0');
    for (;;) {
      const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
      if (n < 0) return {};
      if (static_cast<std::size_t>(n) < path.size()) {
        path.resize(static_cast<std::size_t>(n));
        return path;
      }
      path.resize(path.size() * 2);
    }
  }

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
    const std::optional<std::string> target =
        posix::resolve_in_folder(request.directory, request.file);
    if (!target) return false;
    posix::DetachedCommand command{folder_or_root(request.directory), *target, {*target}, {}};
    if (request.verb == "runas") {
      command.program = first_executable(kElevators);
      if (command.program.empty()) return false;
      command.argv = {command.program, *target};
    } else {
      command.fallback_opener = first_executable(kOpeners);
    }
    return posix::spawn_detached(command);
  }

  bool shell_execute(const core::OpenRequest& request) override {
    const std::string directory = folder_or_root(request.directory);
    const std::optional<std::string> document = posix::resolve_in_folder(directory, request.file);
    const std::string opener = first_executable(kOpeners);
    if (!document || opener.empty()) return false;
    return posix::spawn_detached({directory, opener, {opener, *document}, {}});
  }
};

}  // namespace

Platform& native_platform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace platform
