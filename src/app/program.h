// The program's entry, apart from main() so that tests can run it whole.
#pragma once

#include "platform/platform.h"
#include "ui/backend.h"

namespace app {

// Sets the title, creates the windows and runs the event loop. Returns the
// process's exit code, an ExitCode (app/exit_code.h).
int run_program(ui::Backend& backend, platform::Platform& platform);

}  // namespace app
