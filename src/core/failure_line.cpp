#include "core/failure_line.h"

namespace core {
namespace {

constexpr std::string_view kProgram = "cdstart: ";

}  // namespace

std::string printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      shown.push_back(c);
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else {
      shown += "\\x";
      shown.push_back(kHex[byte >> 4]);
      shown.push_back(kHex[byte & 0xf]);
    }
  }
  return shown;
}

std::string launch_failure_line(std::string_view path, std::string_view reason) {
  std::string line(kProgram);
  line.append("cannot start ").append(printable(path));
  if (!reason.empty()) line.append(": ").append(printable(reason));
  line.push_back('\n');
  return line;
}

std::string no_own_folder_line(std::string_view reason) {
  std::string line(kProgram);
  line.append("cannot find its own folder");
  if (!reason.empty()) line.append(": ").append(printable(reason));
  line.push_back('\n');
  return line;
}

}  // namespace core
