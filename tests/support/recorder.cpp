// A launch target for tests: appends what it was started with to the file
// named by CDSTART_RECORD: its working folder, its arguments, its open
// descriptors, its signal mask and ignored signals, and whether it leads its
// own session. One line per field, one blank line after each record.
#include <dirent.h>
#include <fcntl.h>
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
  out << "fds=";
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == dirfd(dir)) continue;
      out << entry->d_name << ' ';
    }
    closedir(dir);
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
