// Fuzzes the medium folder lookup in platform/posix/medium_folder.h against a
// real folder.
//
// LLVMFuzzerInitialize lays out a temporary folder once (mkdtemp under $TMPDIR,
// /tmp unless set) and lists it; every input is then a name, any bytes at all
// ('/', NUL, non-UTF-8), looked up with resolve_in_folder. The folder is
// removed at exit and on a property violation; a sanitizer's report ends the
// process without it, which is why tools/fuzz.sh points TMPDIR into the build
// folder.
//
// Properties, for every name:
//   - a found path is the folder, "/" and the name of one of the folder's
//     entries; that entry's name equals the requested name byte for byte except
//     for ASCII letter case, or is such a name followed by an ISO 9660 version
//     (';' and one to five digits); stat() says regular file
//   - a name that one of the regular files (a link to one counts) stands for in
//     that way is found; among several, the exact spelling wins, then another
//     letter case, then the highest version, and among equals the one that
//     sorts first bytewise
//   - an empty name, or one holding '/' or NUL, is never found
//   - the same answer with a trailing '/' on the folder, with the empty folder
//     while the medium folder is the current one, and through resolve_path
//     with the whole path
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/medium_folder.h"
#include "fuzz_support.h"

namespace {

enum class Kind { File, Folder, Link, Fifo };

struct Entry {
  const char* name;
  Kind kind;
  const char* target;  // for links
};

// What a medium may hold beside the program, and what must never pass for
// one of its files.
const Entry kLayout[] = {
    {"INST.EXE", Kind::File, nullptr},
    {"netclient.exe", Kind::File, nullptr},
    {"HANDBUCH.PDF", Kind::File, nullptr},
    {"Prospekt.pdf", Kind::File, nullptr},
    {"odd name $(x);`y`", Kind::File, nullptr},
    {"caf\xe9", Kind::File, nullptr},
    {"Folder.pdf", Kind::Folder, nullptr},
    {"LinkDir.pdf", Kind::Link, "Folder.pdf"},
    {"Dangling.exe", Kind::Link, "no such file"},
    {"LinkFile.exe", Kind::Link, "INST.EXE"},
    {"Pipe.exe", Kind::Fifo, nullptr},
    // Names that differ only in letter case, as two copies of a medium merged
    // on a case-sensitive file system may leave them.
    {"Setup.exe", Kind::File, nullptr},
    {"SETUP.EXE", Kind::File, nullptr},
    {"setup.EXE", Kind::Folder, nullptr},
    {"DOC.PDF", Kind::Link, "Folder.pdf"},
    {"doc.pdf", Kind::File, nullptr},
    // Plain ISO 9660 names with their versions, as some mounts show a disc.
    {"README.TXT;1", Kind::File, nullptr},
    {"readme.txt;12", Kind::File, nullptr},
    {"Readme.txt;2", Kind::File, nullptr},
    {"README.TXT;99", Kind::Folder, nullptr},
    {"NOTES.TXT;x", Kind::File, nullptr},
    {"Setup.exe;3", Kind::File, nullptr},
};

struct Listed {
  std::string name;
  bool regular;  // stat() follows links
};

std::string g_folder;
int g_folder_fd = -1;   // for fchdir: the empty folder means the current one
int g_initial_fd = -1;  // and back, as libFuzzer names its files relative to it
std::vector<Listed> g_listing;
std::string_view g_input;

void remove_folder() {
  if (g_folder.empty()) return;
  for (const Entry& entry : kLayout) {
    const std::string path = g_folder + "/" + entry.name;
    if (entry.kind == Kind::Folder) {
      ::rmdir(path.c_str());
    } else {
      ::unlink(path.c_str());
    }
  }
  ::rmdir(g_folder.c_str());
  g_folder.clear();
}

[[noreturn]] void fail_setup(const char* what) {
  std::perror(what);
  remove_folder();
  std::abort();
}

using fuzz::quoted;

std::string shown(const std::optional<std::string>& result) {
  return result ? quoted(*result) : std::string("nothing");
}

[[noreturn]] void violated(const char* property, const std::string& detail) {
  std::fprintf(stderr, "\nproperty violated: %s\n  name (hex):", property);
  for (unsigned char c : g_input) std::fprintf(stderr, " %02x", c);
  std::fprintf(stderr, "\n  folder: %s\n  %s\n", g_folder.c_str(), detail.c_str());
  remove_folder();
  __builtin_trap();
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

// How an entry's name stands for the requested one: 0 spelt the same, 1 in
// another letter case, 2 with a version after it (then `version` is set);
// -1 not at all.
int standing(std::string_view entry, std::string_view name, long& version) {
  if (entry == name) return 0;
  if (equal_ignoring_ascii_case(entry, name)) return 1;
  if (entry.size() < name.size() + 2 || entry.size() > name.size() + 6) return -1;
  if (!equal_ignoring_ascii_case(entry.substr(0, name.size()), name)) return -1;
  if (entry[name.size()] != ';') return -1;
  const std::string_view digits = entry.substr(name.size() + 1);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  version = std::stol(std::string(digits));
  return 2;
}

bool is_regular(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entry the lookup should find, worked out from the listing taken at start.
std::optional<std::string> expected_entry(std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  std::optional<std::string> best;
  int best_standing = 3;
  long best_version = 0;
  for (const Listed& entry : g_listing) {
    long version = 0;
    const int how = standing(entry.name, name, version);
    if (!entry.regular || how < 0) continue;
    const bool wins = how != best_standing ? how < best_standing
                      : version != best_version ? version > best_version
                                                : entry.name < *best;
    if (!best || wins) {
      best = entry.name;
      best_standing = how;
      best_version = version;
    }
  }
  return best;
}

void check(const char* how, const std::string& prefix, std::string_view name,
           const std::optional<std::string>& result) {
  const std::optional<std::string> expected = expected_entry(name);
  // What the code returned, spelt out only for a report.
  const auto detail = [&] {
    return std::string(how) + " returned " + shown(result) + ", expected " +
           (expected ? quoted(prefix + *expected) : std::string("nothing"));
  };
  if (!result) {
    if (expected) violated("a regular file with the name in any letter case is found", detail());
    return;
  }
  if (name.empty() || name.find('/') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    violated("an empty name or one with '/' or NUL is never found", detail());
  }
  if (result->size() < prefix.size() || result->compare(0, prefix.size(), prefix) != 0) {
    violated("a found path is the folder followed by an entry name", detail());
  }
  const std::string found = result->substr(prefix.size());
  const bool listed = std::any_of(g_listing.begin(), g_listing.end(),
                                  [&](const Listed& entry) { return entry.name == found; });
  if (!listed) violated("a found path names an entry of the folder", detail());
  long version = 0;
  if (standing(found, name, version) < 0) {
    violated("the entry equals the name except for ASCII letter case and a version", detail());
  }
  // A path found relative to the current folder was found in the medium folder.
  const std::string on_disk = prefix.empty() ? g_folder + "/" + *result : *result;
  if (!is_regular(on_disk)) violated("a found path is a regular file", detail());
  if (!expected || found != *expected)
    violated("exact spelling, other case, highest version, then the first bytewise", detail());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cdstart_fuzz.XXXXXX";
  if (!::mkdtemp(pattern.data())) fail_setup("mkdtemp");
  g_folder = pattern;
  std::atexit(remove_folder);

  for (const Entry& entry : kLayout) {
    const std::string path = g_folder + "/" + entry.name;
    int rc = 0;
    switch (entry.kind) {
      case Kind::File:
        if (FILE* file = std::fopen(path.c_str(), "w")) {
          std::fputs("x", file);
          rc = std::fclose(file);
        } else {
          rc = -1;
        }
        break;
      case Kind::Folder:
        rc = ::mkdir(path.c_str(), 0755);
        break;
      case Kind::Link:
        rc = ::symlink(entry.target, path.c_str());
        break;
      case Kind::Fifo:
        rc = ::mkfifo(path.c_str(), 0644);
        break;
    }
    if (rc != 0) fail_setup(path.c_str());
  }

  DIR* dir = ::opendir(g_folder.c_str());
  if (!dir) fail_setup("opendir");
  while (const dirent* entry = ::readdir(dir)) {
    g_listing.push_back({entry->d_name, is_regular(g_folder + "/" + entry->d_name)});
  }
  ::closedir(dir);
  // ".", ".." and the layout, nothing else.
  if (g_listing.size() != std::size(kLayout) + 2) fail_setup("unexpected folder listing");

  g_folder_fd = ::open(g_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  g_initial_fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g_folder_fd < 0 || g_initial_fd < 0) fail_setup("open");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  g_input = name;
  const std::string slash = g_folder + "/";

  check("resolve_in_folder(folder, name)", slash, name,
        platform::posix::resolve_in_folder(g_folder, name));
  check("resolve_in_folder(folder + \"/\", name)", slash, name,
        platform::posix::resolve_in_folder(slash, name));
  if (::fchdir(g_folder_fd) != 0) violated("setup: fchdir into the folder", "");
  const std::optional<std::string> in_current = platform::posix::resolve_in_folder("", name);
  if (::fchdir(g_initial_fd) != 0) violated("setup: fchdir back", "");
  check("resolve_in_folder(\"\", name) in the folder", "", name, in_current);

  // resolve_path takes the last component: the same answer for a plain name.
  // (A name with '/' walks elsewhere, and one with NUL would hand the system
  // calls a path cut short at it, so both are left to resolve_in_folder.)
  if (name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos) {
    check("resolve_path(folder + \"/\" + name)", slash, name,
          platform::posix::resolve_path(slash + std::string(name)));
  }
  return 0;
}
