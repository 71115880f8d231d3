#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

// environ comes from <unistd.h> (a GNU extension, asked for by the build).

namespace platform::posix {
namespace {

std::vector<char*> c_argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

void write_errno(int fd, int error) {
  while (::write(fd, &error, sizeof error) < 0 && errno == EINTR) {
  }
}

void mark_inherited_descriptors_close_on_exec() {
  if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
  const long limit = ::sysconf(_SC_OPEN_MAX);
  for (long fd = 3; fd < (limit > 0 ? limit : 1024); ++fd) ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
}

// The C library keeps a few real-time signals for itself and refuses to touch
// them, yet they can arrive ignored from whoever started us; the kernel call
// resets them too.
void reset_signal(int sig) {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  ::sigemptyset(&dfl.sa_mask);
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

void reset_signals() {
  const int last = 64;  // the kernel's signal count, beyond the C library's NSIG view
  for (int sig = 1; sig <= last; ++sig) {
    if (sig != SIGKILL && sig != SIGSTOP) reset_signal(sig);
  }
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs in the grandchild, between fork and exec: async-signal-safe calls only,
// everything it needs was prepared by the parent.
[[noreturn]] void exec_detached(const DetachedCommand& command, char* const* argv,
                                char* const* opener_argv, int report_fd) {
  ::setsid();
  reset_signals();
  if (::chdir(command.directory.c_str()) != 0) {
    write_errno(report_fd, errno);
    ::_exit(127);
  }
  mark_inherited_descriptors_close_on_exec();
  ::execve(command.program.c_str(), argv, environ);
  if (!command.fallback_opener.empty() && (errno == EACCES || errno == ENOEXEC)) {
    ::execve(command.fallback_opener.c_str(), opener_argv, environ);
  }
  write_errno(report_fd, errno);
  ::_exit(127);
}

}  // namespace

bool spawn_detached(const DetachedCommand& command) {
  std::vector<char*> argv = c_argv(command.argv);
  std::vector<std::string> opener_args{command.fallback_opener, command.program};
  std::vector<char*> opener_argv = c_argv(opener_args);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;

  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    errno = error;
    return false;
  }
  if (middle == 0) {
    // The middle process only forks the real one and leaves, so the real one
    // is adopted by init (or the session's subreaper) and never waits on us.
    ::close(report[0]);
    const pid_t target = ::fork();
    if (target == 0) exec_detached(command, argv.data(), opener_argv.data(), report[1]);
    if (target < 0) write_errno(report[1], errno);
    ::_exit(0);
  }

  ::close(report[1]);
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (got == 0) return true;  // the pipe closed on a successful exec
  errno = got == sizeof error ? error : EIO;
  return false;
}

}  // namespace platform::posix
