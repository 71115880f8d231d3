// How a platform spells its paths. The launcher's path rules are written in
// terms of "the separator": split at the last one, strip a trailing one, join
// a base folder and a name with one. Windows also ends a folder at a drive
// colon ("D:INST.EXE" names INST.EXE in D:).
#pragma once

#include <string>
#include <string_view>

namespace core {

struct PathStyle {
  char separator;
  bool colon_ends_folder;
};

inline constexpr PathStyle kWindowsPaths{'\\', true};
inline constexpr PathStyle kPosixPaths{'/', false};

struct SplitPath {
  std::string file;    // everything after the last separator
  std::string folder;  // everything up to and including it
};

// Splits at the last separator (or drive colon). A path without one is all
// file name and an empty folder.
SplitPath split_path(PathStyle style, std::string_view path);

// The folder that holds the executable, without its trailing separator:
// "D:\CD\cdstart.exe" -> "D:\CD", "D:\cdstart.exe" -> "D:",
// "/media/cd/cdstart" -> "/media/cd", "/cdstart" -> "". Exactly one separator
// goes, so a doubled one ("/a//cdstart") leaves "/a/", which still joins to a
// sound path. A module path is always absolute; a bare name would give "".
std::string base_dir_from_module_path(PathStyle style, std::string_view module_path);

// base + separator + name: every path the launcher tests or starts.
std::string join(PathStyle style, std::string_view base, std::string_view name);

}  // namespace core
