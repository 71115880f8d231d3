// Helpers for tests of the POSIX platform: temporary folders, files, the
// records a started recorder leaves, and work done in a child process where
// it would change the test process for good (a seccomp filter, a mount
// namespace, another user).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "cdstart-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

inline void write_file(const fs::path& path, const std::string& text = "x") {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The records in `file` (each ends in a blank line), waiting up to 20 s for
// `count` of them.
inline std::vector<std::string> wait_for_records(const fs::path& file, std::size_t count) {
  std::vector<std::string> found;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    found.clear();
    std::string all = read_file(file);
    for (std::size_t at; (at = all.find("\n\n")) != std::string::npos; all.erase(0, at + 2)) {
      found.push_back(all.substr(0, at + 1));
    }
    if (found.size() >= count || std::chrono::steady_clock::now() > give_up) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The value of the "name=" line of a record.
inline std::string field(const std::string& record, const std::string& name) {
  const std::string key = name + "=";
  std::size_t at = record.rfind("\n" + key);
  at = at == std::string::npos ? (record.rfind(key, 0) == 0 ? 0 : std::string::npos) : at + 1;
  if (at == std::string::npos) return "(missing)";
  at += key.size();
  return record.substr(at, record.find('\n', at) - at);
}

// Runs `work` in a child process and returns what it returned. The child
// starts "skip: " when the host cannot do what the test needs. A child that
// dies says so.
inline std::string in_child(const std::function<std::string()>& work) {
  int ends[2];
  if (::pipe(ends) != 0) return "error: pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    const std::string said = work();
    std::size_t written = 0;
    while (written < said.size()) {
      const ssize_t n = ::write(ends[1], said.data() + written, said.size() - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  std::string said;
  char buffer[4096];
  for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) said += " (the child died with status " + std::to_string(status) + ")";
  return said;
}

// Unprivileged users that no other process on the host runs as, so that
// per-user limits and same-user rights apply to a test's processes alone;
// each test that needs one takes its own, as tests run side by side.
inline constexpr uid_t kLonelyUsers = 47100;

}  // namespace testing_support
