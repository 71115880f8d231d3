// The one line on standard error that tells why something the user asked for
// did not happen. Paths come from the medium and may hold any byte, so
// control characters are spelt out: the line stays one line.
#pragma once

#include <string>
#include <string_view>

namespace core {

// `text` with every control character written as an escape ("\n", "\r",
// "\t", "\x1b"); all other bytes, letters beyond ASCII too, stay as they are.
std::string printable(std::string_view text);

// "cdstart: cannot start PATH: REASON\n"; without a reason, no colon after the path.
std::string launch_failure_line(std::string_view path, std::string_view reason);

// "cdstart: cannot find its own folder: REASON\n"
std::string no_own_folder_line(std::string_view reason);

}  // namespace core
