// The program's exit codes, for a script that starts the medium's installer
// through it. Every failure also writes one line on standard error.
#pragma once

namespace app {

enum ExitCode : int {
  kExitSuccess = 0,       // the menu was closed, or the installer was started
  kExitNoDisplay = 1,     // the menu was needed but cannot be shown
  kExitNoOwnFolder = 2,   // the program cannot find its own folder; nothing was started
  kExitLaunchFailed = 3,  // the installer could not be started (direct mode)
};

}  // namespace app
