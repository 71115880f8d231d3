// What the fuzz targets share: showing bytes readably in a report.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace fuzz {

// `s` in double quotes, with every byte that is not plain printable ASCII
// (and the quote and backslash) written as \xNN.
inline std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[5];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
      out += buffer;
    }
  }
  return out + "\"";
}

}  // namespace fuzz
