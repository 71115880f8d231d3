#include "platform/posix/launch_failure.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "core/path_style.h"
#include "platform/posix/folder_walk.h"

namespace platform::posix {
namespace {

using Failure = SpawnResult::Failure;

// The interpreter named on a script's first line ("#!/bin/sh\r" gives
// "/bin/sh\r"); nothing when the file cannot be read or is no script.
std::optional<std::string> script_interpreter(const std::string& program) {
  const core::SplitPath split = core::split_path(core::kPosixPaths, program);
  const Descriptor folder = open_folder(split.folder);
  if (!folder) return std::nullopt;
  const Descriptor file(
      ::openat(folder.get(), split.file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!file) return std::nullopt;
  char head[256];
  ssize_t got;
  while ((got = ::read(file.get(), head, sizeof head)) < 0 && errno == EINTR) {
  }
  if (got < 2 || head[0] != '#' || head[1] != '!') return std::nullopt;
  std::string_view line(head + 2, static_cast<std::size_t>(got) - 2);
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return std::string(line.substr(0, line.find_first_of(" \t")));
}

std::string exec_failure(int error, const DetachedCommand& command) {
  if (error == ENOENT) {
    if (const std::optional<std::string> interpreter = script_interpreter(command.program)) {
      return "its interpreter \"" + *interpreter + "\" does not exist";
    }
  }
  return std::strerror(error);
}

std::string opener_verdict(const std::string& opener, int status) {
  const std::string name = core::split_path(core::kPosixPaths, opener).file;
  if (WIFSIGNALED(status)) return name + " was ended by signal " + std::to_string(WTERMSIG(status));
  return name + " could not open it (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

}  // namespace

std::string describe_launch_failure(const SpawnResult& result, const DetachedCommand& command) {
  std::string why = std::strerror(result.error);
  switch (result.failure) {
    case Failure::None:
      return {};
    case Failure::Folder:
      return "cannot enter its folder: " + why;
    case Failure::Fork:
      return "cannot create a process: " + why;
    case Failure::Exec:
      return exec_failure(result.error, command);
    case Failure::OpenerExec:
      return "cannot run " + command.fallback_opener + ": " + why;
    case Failure::OpenerVerdict:
      return opener_verdict(command.fallback_opener, result.opener_status);
  }
  return why;
}

}  // namespace platform::posix
