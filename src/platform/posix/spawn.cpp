#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/child_setup.h"
#include "platform/posix/folder_walk.h"

// environ comes from <unistd.h> (a GNU extension, asked for by the build).

namespace platform::posix {
namespace {

using Failure = SpawnResult::Failure;

// What the started side tells us through the report pipe. A successful exec
// closes the pipe (it is close-on-exec) without a word.
struct Report {
  enum Kind : int { Failed, OpenerStarted, OpenerEnded };
  int kind;
  int step;   // a Failure, for Failed
  int value;  // errno, or the opener's wait status
};

std::vector<char*> c_array(std::vector<std::string>& strings) {
  std::vector<char*> array;
  array.reserve(strings.size() + 1);
  for (std::string& text : strings) array.push_back(text.data());
  array.push_back(nullptr);
  return array;
}

// Our environment, but with PWD telling the folder that the program starts in.
std::vector<std::string> child_environment(const std::string& folder) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    if (std::strncmp(*entry, "PWD=", 4) != 0) environment.emplace_back(*entry);
  }
  std::string pwd = folder;
  while (pwd.size() > 1 && pwd.back() == '/') pwd.pop_back();
  environment.push_back("PWD=" + pwd);
  return environment;
}

// Our own descriptors stay clear of 0 to 2, which the program gets.
Descriptor above_standard(int fd) {
  if (fd < 0 || fd > 2) return Descriptor(fd);
  Descriptor low(fd);
  return Descriptor(::fcntl(fd, F_DUPFD_CLOEXEC, 3));
}

// Everything the new processes need, prepared before fork: after it they
// may not allocate.
struct Plan {
  int folder;
  int report;
  const char* exec_path;
  char* const* argv;
  char* const* envp;
  const char* opener;  // null: no fallback
  char* const* opener_argv;
  unsigned verdict_seconds;
};

void send(int fd, Report report) {
  while (::write(fd, &report, sizeof report) < 0 && errno == EINTR) {
  }
}

[[noreturn]] void fail(const Plan& plan, Failure step, int error) {
  send(plan.report, {Report::Failed, static_cast<int>(step), error});
  ::_exit(127);
}

// The opener takes the file instead; this process waits for its verdict and
// hands it on, then ends. It is the opener's parent, so the opener never
// becomes a zombie of the menu's, and it does not outlive the wait by long.
[[noreturn]] void run_opener(const Plan& plan) {
  send(plan.report, {Report::OpenerStarted, 0, 0});
  const pid_t opener = ::fork();
  if (opener < 0) fail(plan, Failure::Fork, errno);
  if (opener == 0) {
    ::execve(plan.opener, plan.opener_argv, plan.envp);
    fail(plan, Failure::OpenerExec, errno);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, nullptr);  // the menu may have stopped listening
  ::alarm(plan.verdict_seconds + 1);       // its default action ends this process
  int status = 0;
  while (::waitpid(opener, &status, 0) < 0 && errno == EINTR) {
  }
  send(plan.report, {Report::OpenerEnded, 0, status});
  ::_exit(0);
}

// Runs in the grandchild, between fork and exec.
[[noreturn]] void run_target(const Plan& plan) {
  ::setsid();
  reset_signals();
  if (::fchdir(plan.folder) != 0) fail(plan, Failure::Folder, errno);
  give_standard_descriptors();
  mark_inherited_descriptors_close_on_exec();
  ::execve(plan.exec_path, plan.argv, plan.envp);
  const int error = errno;
  if (plan.opener && (error == EACCES || error == ENOEXEC)) run_opener(plan);
  fail(plan, Failure::Exec, error);
}

// Reads one report; false at the end of the pipe, or when `wait` runs out.
bool read_report(int fd, Report& report, std::chrono::milliseconds wait) {
  const auto give_up = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (wait.count() >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          give_up - std::chrono::steady_clock::now());
      pollfd ready{fd, POLLIN, 0};
      const int polled = ::poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
      if (polled < 0 && errno == EINTR) continue;
      if (polled <= 0) return false;
    }
    const ssize_t got = ::read(fd, &report, sizeof report);
    if (got < 0 && errno == EINTR) continue;
    return got == static_cast<ssize_t>(sizeof report);
  }
}

SpawnResult from_report(const Report& report) {
  if (report.kind == Report::OpenerEnded) {
    const bool opened = WIFEXITED(report.value) && WEXITSTATUS(report.value) == 0;
    return opened ? SpawnResult{} : SpawnResult{Failure::OpenerVerdict, 0, report.value};
  }
  return {static_cast<Failure>(report.step), report.value, 0};
}

}  // namespace

SpawnResult spawn_detached(const DetachedCommand& command) {
  const Descriptor folder = above_standard(open_folder(command.directory).release());
  if (!folder) return {Failure::Folder, errno, 0};

  std::vector<std::string> args = command.argv;
  std::vector<char*> argv = c_array(args);
  std::vector<std::string> environment = child_environment(command.directory);
  std::vector<char*> envp = c_array(environment);
  const std::string exec_path = path_for_child(command.directory, command.program);
  std::vector<std::string> opener_args{command.fallback_opener, exec_path};
  std::vector<char*> opener_argv = c_array(opener_args);

  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return {Failure::Fork, errno, 0};
  const Descriptor reading = above_standard(ends[0]);
  Descriptor writing = above_standard(ends[1]);
  if (!reading || !writing) return {Failure::Fork, EMFILE, 0};

  const Plan plan{
      folder.get(),
      writing.get(),
      exec_path.c_str(),
      argv.data(),
      envp.data(),
      command.fallback_opener.empty() ? nullptr : command.fallback_opener.c_str(),
      opener_argv.data(),
      static_cast<unsigned>(
          std::chrono::ceil<std::chrono::seconds>(command.opener_verdict_wait).count())};
  const pid_t middle = ::fork();
  if (middle < 0) return {Failure::Fork, errno, 0};
  if (middle == 0) {
    // The middle process only forks the real one and leaves, so the real one
    // is adopted by init (or the session's subreaper) and never waits on us.
    const pid_t target = ::fork();
    if (target == 0) run_target(plan);
    if (target < 0) fail(plan, Failure::Fork, errno);
    ::_exit(0);
  }

  writing = Descriptor();
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  Report report{};
  if (!read_report(reading.get(), report, std::chrono::milliseconds(-1))) return {};
  if (report.kind == Report::OpenerStarted &&
      !read_report(reading.get(), report, command.opener_verdict_wait)) {
    return {};  // still at work on it after the wait: it has taken the file
  }
  return from_report(report);
}

}  // namespace platform::posix
