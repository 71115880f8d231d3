// The program's entry, apart from main() so that tests can run it whole.
#pragma once

#include "platform/platform.h"
#include "ui/backend.h"

namespace app {

// Sets the title, creates the windows and runs the event loop. Returns the
// process's exit code: 0, or 1 when the menu has no display to appear on.
int run_program(ui::Backend& backend, platform::Platform& platform);

}  // namespace app
