// A launch target for tests: appends what it was started with to the file
// named by CDSTART_RECORD: its working folder, its arguments, PWD, what its
// descriptors 0 to 2 are, its open descriptors, its signal mask and ignored
// signals, and whether it leads its own session. One line per field, one
// blank line after each record. Works without /proc too (then without the
// signal lines).
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  const char* record = std::getenv("CDSTART_RECORD");
  if (!record) return 2;
  std::ostringstream out;
  char cwd[8192];
  out << "cwd=" << (getcwd(cwd, sizeof cwd) ? cwd : "?") << '\n';
  for (int i = 0; i < argc; ++i) out << "arg" << i << '=' << argv[i] << '\n';
  const char* pwd = std::getenv("PWD");
  out << "pwd_env=" << (pwd ? pwd : "(unset)") << '\n';
  // "null" for /dev/null, "closed", or "other".
  struct stat null_device {};
  stat("/dev/null", &null_device);
  out << "std=";
  for (int fd = 0; fd <= 2; ++fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
      out << "closed ";
    } else {
      const bool null = S_ISCHR(st.st_mode) && st.st_rdev == null_device.st_rdev;
      out << (null ? "null " : "other ");
    }
  }
  out << '\n';
  out << "fds=";
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == dirfd(dir)) continue;
      out << entry->d_name << ' ';
    }
    closedir(dir);
  } else {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    for (rlim_t fd = 0; fd < limit.rlim_cur; ++fd) {
      if (fcntl(static_cast<int>(fd), F_GETFD) >= 0) out << fd << ' ';
    }
  }
  out << '\n';
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigBlk:", 0) == 0 || line.rfind("SigIgn:", 0) == 0) out << line << '\n';
  }
  out << "session_leader=" << (getsid(0) == getpid() ? 1 : 0) << "\n\n";
  const std::string text = out.str();
  const int fd = open(record, O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0) return 3;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok ? 0 : 4;
}
