// Which clue to believe is the core's decision (core/own_path.h); this file
// gathers the clues from the system, follows links and confirms.
#include "platform/posix/own_executable.h"

#include <fcntl.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "core/own_path.h"
#include "platform/posix/folder_walk.h"

// program_invocation_name (argv[0]) comes from <errno.h>, a GNU extension
// asked for by the build.

namespace platform::posix {
namespace {

constexpr int kMostLinks = 40;  // as many as the kernel follows in one path

// Where /proc/self/exe leads; empty (errno set) when it cannot be read, as
// without /proc or for a path longer than the kernel spells there.
std::string kernel_link() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < path.size()) {
      path.resize(static_cast<std::size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string start_folder() {
  const std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
  return path && path.get()[0] == '/' ? std::string(path.get()) : std::string();
}

// The auxiliary vector holds its addresses as integers.
std::string auxiliary_text(unsigned long type) {
  const auto* text =
      reinterpret_cast<const char*>(::getauxval(type));  // NOLINT(performance-no-int-to-ptr)
  return text ? text : "";
}

core::OwnPathClues gather_clues() {
  core::OwnPathClues clues;
  clues.kernel_link = kernel_link();
  clues.exec_name = auxiliary_text(AT_EXECFN);
  clues.first_argument = program_invocation_name ? program_invocation_name : "";
  clues.start_folder = start_folder();
  // A program with an interpreter learns where the kernel put it; started as
  // the loader's argument, the kernel ran no interpreter for it.
  clues.started_by_loader = ::getauxval(AT_BASE) == 0;
  return clues;
}

struct FoundFile {
  Descriptor folder;
  std::string name;
};

// Follows `path` to the regular file it names, through links in its folders
// and in its last name alike.
std::optional<FoundFile> follow(std::string path) {
  for (int links = 0; links <= kMostLinks; ++links) {
    const core::SplitPath split = core::split_path(core::kPosixPaths, path);
    if (split.file.empty() || split.file == "." || split.file == "..") return std::nullopt;
    Descriptor folder = open_folder(split.folder);
    if (!folder) return std::nullopt;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlinkat(folder.get(), split.file.c_str(), target.data(), target.size());
    if (n < 0) {
      struct stat st {};
      if (errno != EINVAL || ::fstatat(folder.get(), split.file.c_str(), &st, 0) != 0 ||
          !S_ISREG(st.st_mode)) {
        return std::nullopt;
      }
      return FoundFile{std::move(folder), split.file};
    }
    target.resize(static_cast<std::size_t>(n));
    path = target.front() == '/' ? target : split.folder + target;
  }
  return std::nullopt;
}

// The start of the main program's image in memory: its first loaded segment
// begins with the file's first bytes (its headers, its notes and build id).
std::span<const unsigned char> main_image_first_page() {
  std::span<const unsigned char> page;
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) -> int {
        auto& found = *static_cast<std::span<const unsigned char>*>(data);
        for (std::size_t i = 0; i < info->dlpi_phnum; ++i) {
          const auto& header = info->dlpi_phdr[i];
          if (header.p_type != PT_LOAD || header.p_offset != 0) continue;
          const ElfW(Addr) start = info->dlpi_addr + header.p_vaddr;
          found = {
              reinterpret_cast<const unsigned char*>(start),  // NOLINT(performance-no-int-to-ptr)
              std::min<std::size_t>(header.p_filesz, 4096)};
          break;
        }
        return 1;  // the main program comes first; the rest do not matter
      },
      &page);
  return page;
}

}  // namespace

bool holds_this_program(int folder, const std::string& name) {
  const std::span<const unsigned char> image = main_image_first_page();
  if (image.empty()) return false;
  const Descriptor file(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!file) return false;
  std::string bytes(image.size(), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n =
        ::pread(file.get(), bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return std::memcmp(bytes.data(), image.data(), bytes.size()) == 0;
}

std::string own_executable(std::string& why) { return find_own_file(gather_clues(), why); }

std::string find_own_file(const core::OwnPathClues& clues, std::string& why) {
  for (const core::OwnPathCandidate& candidate :
       core::own_path_candidates(core::kPosixPaths, clues)) {
    std::optional<FoundFile> file = follow(candidate.path);
    if (!file) continue;
    if (candidate.must_be_confirmed && !holds_this_program(file->folder.get(), file->name))
      continue;
    const std::string folder = folder_path(file->folder);
    if (folder.empty()) continue;
    return folder == "/" ? folder + file->name : core::join(core::kPosixPaths, folder, file->name);
  }
  if (clues.started_by_loader) {
    why = "started through the dynamic loader, and no name it was given leads to this program";
  } else if (clues.kernel_link.empty()) {
    why = "/proc/self/exe cannot be read, and the name it was started by leads to no file";
  } else {
    why = "no name it was started by leads to its file";
  }
  return {};
}

}  // namespace platform::posix
