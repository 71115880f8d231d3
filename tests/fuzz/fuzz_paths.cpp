// Fuzzes the path rules in core/path_style.h.
//
// Input: the first byte picks the style (odd: Windows, even: POSIX; a seed
// starting with 'W' is a Windows path, one starting with 'P' a POSIX path),
// the remaining bytes are the path.
//
// Properties, for every style and every path:
//   (a) split_path: folder + file == path
//   (b) the file part holds no separator (in Windows style no ':' either)
//   (c) the folder part is empty or ends in a separator (or ':' in Windows style)
//   (d) base_dir_from_module_path is the folder part less one trailing
//       separator if it has one, and nothing else: so it is a prefix of the
//       path, and it ends in a separator only when the folder part ends in two
//       ("/a//x" -> "/a/"); a folder ending in a drive colon stays as it is
//       ("D:x" -> "D:")
//   (e) join(style, base, name) == base + separator + name
//   (f) when the folder part ends in a separator, joining the base folder and
//       the file part gives the path back
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/path_style.h"
#include "fuzz_support.h"

namespace {

std::string_view current_input;

[[noreturn]] void violated(const char* property, const std::string& detail) {
  std::fprintf(stderr, "\nproperty violated: %s\n  input path (hex):", property);
  for (unsigned char c : current_input) std::fprintf(stderr, " %02x", c);
  std::fprintf(stderr, "\n  %s\n", detail.c_str());
  __builtin_trap();
}

using fuzz::quoted;

bool ends_folder(core::PathStyle style, char c) {
  return c == style.separator || (style.colon_ends_folder && c == ':');
}

void check_join(core::PathStyle style, std::string_view base, std::string_view name) {
  const std::string joined = core::join(style, base, name);
  std::string expected(base);
  expected.push_back(style.separator);
  expected.append(name);
  if (joined != expected) {
    violated("(e) join == base + separator + name",
             "join(" + quoted(base) + ", " + quoted(name) + ") returned " + quoted(joined));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const core::PathStyle style = (data[0] & 1) ? core::kWindowsPaths : core::kPosixPaths;
  const std::string_view path(reinterpret_cast<const char*>(data + 1), size - 1);
  current_input = path;
  const std::string style_name = style.colon_ends_folder ? "Windows" : "POSIX";

  const core::SplitPath split = core::split_path(style, path);
  // What the code returned, spelt out only for a report.
  const auto got = [&] {
    return "split_path(" + style_name + ", " + quoted(path) + ") returned folder " +
           quoted(split.folder) + ", file " + quoted(split.file);
  };

  if (split.folder + split.file != path) violated("(a) folder + file == path", got());
  for (char c : split.file) {
    if (ends_folder(style, c)) violated("(b) no separator in the file part", got());
  }
  if (!split.folder.empty() && !ends_folder(style, split.folder.back())) {
    violated("(c) the folder part is empty or ends in a separator", got());
  }

  const std::string base = core::base_dir_from_module_path(style, path);
  std::string expected_base = split.folder;
  const bool folder_ends_in_separator =
      !expected_base.empty() && expected_base.back() == style.separator;
  if (folder_ends_in_separator) expected_base.pop_back();
  const auto got_base = [&] {
    return "base_dir_from_module_path(" + style_name + ", " + quoted(path) + ") returned " +
           quoted(base) + "; " + got();
  };
  if (base != expected_base) {
    violated("(d) base dir == folder part less at most one trailing separator", got_base());
  }
  if (path.substr(0, base.size()) != base) {
    violated("(d) base dir is a prefix of the path", got_base());
  }
  const std::string doubled(2, style.separator);
  if (!base.empty() && base.back() == style.separator &&
      !std::string_view(split.folder).ends_with(doubled)) {
    violated("(d) base dir ends in a separator only after a doubled one", got_base());
  }

  check_join(style, base, split.file);
  check_join(style, split.folder, split.file);
  check_join(style, path, path);
  // An arbitrary cut, so that join also sees bases and names the split never makes.
  const std::size_t cut =
      path.empty() ? 0 : static_cast<unsigned char>(path[0]) % (path.size() + 1);
  check_join(style, path.substr(0, cut), path.substr(cut));

  if (folder_ends_in_separator && core::join(style, base, split.file) != path) {
    violated("(f) join(base dir, file part) gives the path back",
             "join returned " + quoted(core::join(style, base, split.file)) + "; " + got_base());
  }
  return 0;
}
