#include "platform/posix/medium_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

#include "core/path_style.h"
#include "platform/posix/folder_walk.h"

namespace platform::posix {
namespace {

// Looked up from the folder's descriptor, so that a folder of any length works.
bool is_regular_file(const Descriptor& folder, const char* name) {
  struct stat st {};
  return ::fstatat(folder.get(), name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

std::string entry_path(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return core::join(core::kPosixPaths, folder, name);
}

// Letter case as a medium's file system sees it: ASCII only, whatever the
// locale (strcasecmp would follow it, and in a Turkish one "inst.exe" would
// not match "INST.EXE").
bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// ";" and a version number, which ISO 9660 puts after every file name.
std::optional<long> iso_version(std::string_view suffix) {
  constexpr std::size_t kMostDigits = 5;  // versions run up to 32767
  if (suffix.size() < 2 || suffix.size() > kMostDigits + 1 || suffix.front() != ';') {
    return std::nullopt;
  }
  long version = 0;
  for (const char c : suffix.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    version = version * 10 + (c - '0');
  }
  return version;
}

// How an entry's name stands for the wanted one; see resolve_in_folder.
struct Match {
  enum Kind { Exact, OtherCase, Versioned } kind;
  long version = 0;
};

std::optional<Match> match(std::string_view entry, std::string_view name) {
  if (entry == name) return Match{Match::Exact};
  if (equal_ignoring_ascii_case(entry, name)) return Match{Match::OtherCase};
  if (entry.size() > name.size() && equal_ignoring_ascii_case(entry.substr(0, name.size()), name)) {
    if (const std::optional<long> version = iso_version(entry.substr(name.size()))) {
      return Match{Match::Versioned, *version};
    }
  }
  return std::nullopt;
}

bool better(const Match& a, std::string_view a_name, const Match& b, std::string_view b_name) {
  if (a.kind != b.kind) return a.kind < b.kind;
  if (a.version != b.version) return a.version > b.version;
  return a_name < b_name;
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
  const Descriptor at = open_folder(folder);
  if (!at) return std::nullopt;
  // The common case, a medium that keeps the program's spelling, costs one stat.
  if (is_regular_file(at, std::string(name).c_str())) return entry_path(folder, name);

  Descriptor readable(::openat(at.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!readable) return std::nullopt;
  std::unique_ptr<DIR, DirCloser> dir(::fdopendir(readable.get()));
  if (!dir) return std::nullopt;
  readable.release();  // the DIR owns it now
  std::optional<std::string> best;
  Match best_match{Match::Exact};
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::optional<Match> found = match(entry->d_name, name);
    if (!found) continue;
    if (best && !better(*found, entry->d_name, best_match, *best)) continue;
    if (entry->d_type == DT_DIR) continue;
    if (is_regular_file(at, entry->d_name)) {
      best = entry->d_name;
      best_match = *found;
    }
  }
  if (!best) return std::nullopt;
  return entry_path(folder, *best);
}

std::optional<std::string> resolve_path(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  core::SplitPath split = core::split_path(core::kPosixPaths, path);
  return resolve_in_folder(split.folder, split.file);
}

}  // namespace platform::posix
