#include "ui/fltk/module_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ui::fltk {
namespace {

// Newer kernels want to be told that code will run from a memory file;
// older ones refuse the flag (EINVAL) and need not be told.
constexpr unsigned kMemoryFileExec = 0x0010U;  // MFD_EXEC
constexpr int kAllSeals = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool write_all(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

bool holds_exactly(int fd, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> chunk(std::size_t{64} * 1024);
  off_t at = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, chunk.data(), chunk.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    const auto part = static_cast<std::size_t>(got);
    const auto offset = static_cast<std::size_t>(at);
    if (part == 0) return offset == bytes.size();
    if (offset + part > bytes.size() ||
        std::memcmp(chunk.data(), bytes.data() + offset, part) != 0) {
      return false;
    }
    at += got;
  }
}

std::string reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// -1 with `refused` set when the system gives no memory file at all (an old
// kernel, a seccomp filter, a policy against executable ones).
int sealed_memory_file(std::span<const std::uint8_t> bytes, std::string& error, bool& refused) {
  const unsigned flags = MFD_CLOEXEC | MFD_ALLOW_SEALING;
  int fd = ::memfd_create("cdstart-fltk", flags | kMemoryFileExec);
  if (fd < 0 && errno == EINVAL) fd = ::memfd_create("cdstart-fltk", flags);
  refused = fd < 0;
  if (fd < 0) {
    error = reason("no memory file");
    return -1;
  }
  Fd file(fd);
  if (!write_all(file.get(), bytes)) {
    error = reason("cannot write the memory file");
    return -1;
  }
  if (::fcntl(file.get(), F_ADD_SEALS, kAllSeals) != 0 ||
      (::fcntl(file.get(), F_GET_SEALS) & kAllSeals) != kAllSeals) {
    error = reason("cannot seal the memory file");
    return -1;
  }
  return file.release();
}

int private_temporary_file(std::span<const std::uint8_t> bytes, const std::string& folder,
                           std::string& error) {
  struct statvfs volume {};
  if (::statvfs(folder.c_str(), &volume) == 0 && (volume.f_flag & ST_NOEXEC) != 0) {
    error = folder + " does not let code run from it";
    return -1;
  }
  Fd file(::open(folder.c_str(), O_TMPFILE | O_EXCL | O_RDWR | O_CLOEXEC, S_IRUSR | S_IXUSR));
  if (file.get() < 0) {
    error = reason(("no private file in " + folder).c_str());
    return -1;
  }
  if (!write_all(file.get(), bytes)) {
    error = reason(("cannot write a private file in " + folder).c_str());
    return -1;
  }
  return file.release();
}

}  // namespace

int make_module_file(std::span<const std::uint8_t> bytes, std::string& error,
                     const ModuleFilePlaces& places) {
  std::string why = "no place for it";
  int fd = -1;
  bool refused = true;
  if (places.memory_file) fd = sealed_memory_file(bytes, why, refused);
  // Only a refused memory file leads elsewhere: one that cannot be written
  // or sealed may be under attack, and then nothing is loaded.
  for (std::size_t i = 0; fd < 0 && refused && i < places.temporary_folders.size(); ++i) {
    fd = private_temporary_file(bytes, places.temporary_folders[i], why);
  }
  if (fd < 0) {
    error = why;
    return -1;
  }
  Fd file(fd);
  if (!holds_exactly(file.get(), bytes)) {
    error = "the module file was changed before it could be loaded";
    return -1;
  }
  return file.release();
}

HiddenFromOtherProcesses::HiddenFromOtherProcesses() : was_dumpable_(::prctl(PR_GET_DUMPABLE)) {
  ::prctl(PR_SET_DUMPABLE, 0);
}

HiddenFromOtherProcesses::~HiddenFromOtherProcesses() {
  if (was_dumpable_ == 1) ::prctl(PR_SET_DUMPABLE, 1);
}

}  // namespace ui::fltk
