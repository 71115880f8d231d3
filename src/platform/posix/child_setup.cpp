#include "platform/posix/child_setup.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace platform::posix {
namespace {

void reset_signal(int sig) {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  ::sigemptyset(&dfl.sa_mask);
  // The C library refuses its own real-time signals, yet they can arrive
  // ignored from whoever started us; the kernel call resets them too.
  if (::sigaction(sig, &dfl, nullptr) == 0) return;
#ifdef SYS_rt_sigaction
  struct {
    void (*handler)(int);
    unsigned long flags;
    void (*restorer)();
    std::uint64_t mask;
  } kernel_dfl{SIG_DFL, 0, nullptr, 0};
  ::syscall(SYS_rt_sigaction, sig, &kernel_dfl, nullptr, sizeof kernel_dfl.mask);
#endif
}

void mark_close_on_exec(int fd) { ::fcntl(fd, F_SETFD, FD_CLOEXEC); }

// The kernel's directory entry, as getdents64 returns it.
struct LinuxDirent64 {
  std::uint64_t inode;
  std::int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

// The open descriptors, listed by the kernel. False without /proc.
bool mark_listed_descriptors() {
  const int dir = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return false;
  alignas(8) char buffer[4096];
  for (;;) {
    const long got = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + at);
      at += entry->length;
      int fd = 0;
      const char* digit = entry->name;
      if (*digit < '0' || *digit > '9') continue;  // "." and ".."
      for (; *digit >= '0' && *digit <= '9'; ++digit) fd = fd * 10 + (*digit - '0');
      if (fd > 2 && fd != dir) mark_close_on_exec(fd);
    }
  }
  ::close(dir);
  return true;
}

// Without /proc: poll() tells of a whole batch of descriptors which are
// open, in one call.
void mark_scanned_descriptors() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) limit.rlim_cur = 1024;
  constexpr int kBatch = 256;
  pollfd batch[kBatch];
  for (rlim_t first = 3; first < limit.rlim_cur; first += kBatch) {
    const rlim_t count = limit.rlim_cur - first < kBatch ? limit.rlim_cur - first : kBatch;
    for (rlim_t i = 0; i < count; ++i) batch[i] = {static_cast<int>(first + i), 0, 0};
    if (::poll(batch, count, 0) < 0) {
      for (rlim_t i = 0; i < count; ++i) mark_close_on_exec(batch[i].fd);
      continue;
    }
    for (rlim_t i = 0; i < count; ++i) {
      if ((batch[i].revents & POLLNVAL) == 0) mark_close_on_exec(batch[i].fd);
    }
  }
}

}  // namespace

void reset_signals() {
  const int last = 64;  // the kernel's signal count, beyond the C library's NSIG view
  for (int sig = 1; sig <= last; ++sig) {
    if (sig != SIGKILL && sig != SIGSTOP) reset_signal(sig);
  }
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

void give_standard_descriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0) continue;
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || null == fd) continue;
    ::dup2(null, fd);
    ::close(null);
  }
}

void mark_inherited_descriptors_close_on_exec() {
  if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
  if (mark_listed_descriptors()) return;
  mark_scanned_descriptors();
}

}  // namespace platform::posix
