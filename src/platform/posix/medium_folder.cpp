#include "platform/posix/medium_folder.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "core/path_style.h"

namespace platform::posix {
namespace {

bool is_regular_file(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string entry_path(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return core::join(core::kPosixPaths, folder, name);
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::optional<std::string> resolve_in_folder(const std::string& folder, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  // The common case, a medium that keeps the program's spelling, costs one stat.
  std::string exact = entry_path(folder, name);
  if (is_regular_file(exact)) return exact;

  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir) return std::nullopt;
  const std::string wanted(name);
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (::strcasecmp(entry->d_name, wanted.c_str()) != 0) continue;
    if (best && std::strcmp(entry->d_name, best->c_str()) >= 0) continue;
    if (entry->d_type == DT_DIR) continue;
    if (is_regular_file(entry_path(folder, entry->d_name))) best = entry->d_name;
  }
  if (!best) return std::nullopt;
  return entry_path(folder, *best);
}

std::optional<std::string> resolve_path(std::string_view path) {
  core::SplitPath split = core::split_path(core::kPosixPaths, path);
  return resolve_in_folder(split.folder, split.file);
}

}  // namespace platform::posix
