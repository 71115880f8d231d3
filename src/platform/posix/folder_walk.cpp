#include "platform/posix/folder_walk.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace platform::posix {
namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The longest leading stretch of `rest` that ends at a separator (or at the
// end) and that the kernel takes in one call.
std::size_t stretch_length(std::string_view rest) {
  constexpr std::size_t kLimit = PATH_MAX - 1;
  if (rest.size() <= kLimit) return rest.size();
  const std::size_t cut = rest.rfind('/', kLimit);
  // One name longer than the limit: no file system has one; let the kernel say so.
  return cut == std::string_view::npos || cut == 0 ? kLimit + 1 : cut;
}

}  // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

Descriptor open_folder(std::string_view folder) {
  if (folder.empty()) folder = ".";
  if (folder.size() < PATH_MAX)
    return Descriptor(::open(std::string(folder).c_str(), kFolderFlags));

  Descriptor at(::open(folder.front() == '/' ? "/" : ".", kFolderFlags));
  std::string_view rest = folder;
  while (at) {
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    if (rest.empty()) break;
    const std::size_t length = stretch_length(rest);
    const std::string stretch(rest.substr(0, length));
    rest.remove_prefix(std::min(length, rest.size()));
    at = Descriptor(::openat(at.get(), stretch.c_str(), kFolderFlags));
  }
  return at;
}

std::string path_for_child(std::string_view folder, const std::string& path) {
  if (path.size() < PATH_MAX) return path;
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  const bool inside = path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                      (folder == "/" || path[folder.size()] == '/');
  if (!inside) return path;  // the exec will say that it is too long
  std::string_view below = std::string_view(path).substr(folder.size());
  while (!below.empty() && below.front() == '/') below.remove_prefix(1);
  return "./" + std::string(below);
}

// The C library's getcwd spells a working folder of any length (past what
// the kernel's own call returns it walks up the tree itself), so the folder
// becomes the working folder for as long as it takes to ask.
std::string folder_path(const Descriptor& folder) {
  const Descriptor here(::open(".", kFolderFlags));
  if (!here || ::fchdir(folder.get()) != 0) return {};
  const std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
  const int error = errno;
  // Nothing of ours uses relative paths, but the start folder stays ours.
  (void)::fchdir(here.get());
  errno = error;
  if (!path || path.get()[0] != '/') return {};
  return path.get();
}

}  // namespace platform::posix
