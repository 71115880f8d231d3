// Text between the program's UTF-8 and the UTF-16 of Windows' wide calls.
//
// A Windows file name is any sequence of 16-bit units, not always well-formed
// UTF-16: a lone surrogate is a legal character of a name. Such a unit is
// carried through UTF-8 in the three-byte form its value would have (as
// WTF-8 does), so that every name Windows hands the program goes back to
// Windows unchanged; well-formed text converts as plain UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace core {

std::string utf8_from_utf16(std::u16string_view text);

// A byte that starts no valid sequence becomes U+FFFD, one for each such byte.
std::u16string utf16_from_utf8(std::string_view text);

}  // namespace core
