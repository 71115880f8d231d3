// Starting a program that outlives us.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace platform::posix {

struct DetachedCommand {
  std::string directory;          // working folder of the new process, absolute, any length
  std::string program;            // absolute path; never looked up in PATH
  std::vector<std::string> argv;  // argv[0] first
  // When `program` cannot be executed as it is (no execute permission, not a
  // binary the kernel knows), this opener is run with `program` as its one
  // argument instead. Empty: no fallback.
  std::string fallback_opener;
  // How long to wait for the opener's verdict. One that is still running
  // then has taken the file: xdg-open may run the program it chose in its
  // own stead, for as long as that runs.
  std::chrono::milliseconds opener_verdict_wait{10'000};
};

// What became of a start.
struct SpawnResult {
  enum class Failure {
    None,
    Folder,         // the working folder cannot be entered
    Fork,           // no new process
    Exec,           // the program cannot be executed
    OpenerExec,     // nor the opener that should take it instead
    OpenerVerdict,  // the opener ended and said it could not open the program
  };
  Failure failure = Failure::None;
  int error = 0;          // errno of the failed step
  int opener_status = 0;  // the opener's wait status, for OpenerVerdict

  explicit operator bool() const { return failure == Failure::None; }
};

// Starts `command` in a session of its own and returns without waiting for
// it (only for a fallback opener's verdict, a bounded while). The new process
// gets descriptors 0 to 2 (on /dev/null where we have none to give) and no
// others, an empty signal mask, default signal dispositions, and PWD set to
// its working folder. It is not our child, so it never becomes our zombie;
// an opener's verdict is awaited by a process of its own, never by us.
SpawnResult spawn_detached(const DetachedCommand& command);

}  // namespace platform::posix
