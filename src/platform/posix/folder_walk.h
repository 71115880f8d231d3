// Folders by descriptor, so that a path of any length can be used: the
// kernel refuses a path of PATH_MAX bytes or more in one call, but a medium
// mounted deep enough, or a deep folder on a stick, can have a longer one.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace platform::posix {

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor();

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Opens `folder` as an O_PATH, close-on-exec descriptor for the *at calls
// (and fchdir). "" is the current folder; a relative path starts there too.
// A path shorter than PATH_MAX takes one call; a longer one is walked a
// stretch at a time, each stretch shorter than PATH_MAX, from the descriptor
// of the last. Links are followed as the kernel follows them. On failure the
// descriptor is empty and errno tells why.
Descriptor open_folder(std::string_view folder);

// The path by which a program whose working folder is `folder` can reach
// `path`, a path inside that folder: `path` itself where the system's calls
// take it whole, else "./" and its part below the folder.
std::string path_for_child(std::string_view folder, const std::string& path);

// The absolute, link-free path of the folder open as `folder`, of any length;
// empty when it cannot be told (errno says why).
std::string folder_path(const Descriptor& folder);

}  // namespace platform::posix
