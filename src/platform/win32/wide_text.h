// The program's UTF-8 as the wide calls take it, and back: the one place on
// Windows where text changes its form (see core/utf16.h).
#pragma once

#include <string>
#include <string_view>

#include "core/utf16.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

inline std::wstring widen(std::string_view utf8) {
  const std::u16string wide = core::utf16_from_utf8(utf8);
  return {wide.begin(), wide.end()};
}

inline std::string narrow(std::wstring_view wide) {
  return core::utf8_from_utf16(std::u16string(wide.begin(), wide.end()));
}

}  // namespace platform::win32
