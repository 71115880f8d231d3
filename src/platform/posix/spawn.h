// Starting a program that outlives us.
#pragma once

#include <string>
#include <vector>

namespace platform::posix {

struct DetachedCommand {
  std::string directory;          // working folder of the new process
  std::string program;            // absolute path; never looked up in PATH
  std::vector<std::string> argv;  // argv[0] first
  // When `program` cannot be executed as it is (no execute permission, not a
  // binary the kernel knows), this opener is run with `program` as its one
  // argument instead. Empty: no fallback.
  std::string fallback_opener;
};

// Starts `command` in a session of its own and returns without waiting for
// it. The new process inherits only descriptors 0 to 2, an empty signal mask
// and default signal dispositions; it is not our child, so it never becomes
// our zombie. True when the exec succeeded; false when the folder, the program
// or the fork failed (errno then tells why).
bool spawn_detached(const DetachedCommand& command);

}  // namespace platform::posix
