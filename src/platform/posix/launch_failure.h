// Why a start failed, in a few words for the user.
#pragma once

#include <string>

#include "platform/posix/spawn.h"

namespace platform::posix {

// "Permission denied", "cannot create a process: Resource temporarily
// unavailable", "its interpreter "/bin/sh\r" does not exist", "xdg-open could
// not open it (exit code 3)". A program that is there but whose exec says
// "No such file or directory" misses its interpreter; a script saved with
// Windows line ends is the common case, so the interpreter is named.
std::string describe_launch_failure(const SpawnResult& result, const DetachedCommand& command);

}  // namespace platform::posix
