// The operating system's services and shell, as the launcher needs them.
// One implementation per operating system; tests use a recording fake.
#pragma once

#include <optional>
#include <string>

#include "core/os_version.h"
#include "core/path_style.h"
#include "core/shell_request.h"

namespace platform {

class Platform {
 public:
  virtual ~Platform() = default;

  virtual core::PathStyle path_style() const = 0;

  // The full path of the running executable; empty when it cannot be found
  // for certain (never a guess).
  virtual std::string module_path() = 0;

  // The system's version, or nothing when the query fails.
  virtual std::optional<core::OsVersion> os_version() = 0;

  // True when `path` names an entry that is not a folder. The last component
  // matches without regard to letter case. Never fails loudly: anything that
  // cannot be found counts as absent.
  virtual bool is_present(const std::string& path) = 0;

  // Starts an executable without waiting for it. True when it was started.
  virtual bool shell_execute_ex(const core::ExecuteRequest& request) = 0;

  // Opens a document with its associated program without waiting for it.
  // True when the request was handed on.
  virtual bool shell_execute(const core::OpenRequest& request) = 0;

  // Why the last failed module_path() or shell_execute_ex() failed, in a few
  // words for a message; empty when the system gives no reason.
  virtual std::string last_error() const { return {}; }
};

// The implementation for the system this program was built for.
Platform& native_platform();

}  // namespace platform
