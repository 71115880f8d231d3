// The shell's own records, filled from the launcher's requests.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "core/shell_request.h"

namespace platform::win32 {

// The extended execute record as the shell takes it: zeroed, then filled
// field by field. The strings point into `request`, which must outlive it.
SHELLEXECUTEINFOA to_shell_execute_info(const core::ExecuteRequest& request);

}  // namespace platform::win32
