// The file the window system's module is loaded from cannot be changed by
// anyone else: tried here as an attacker of the same user would try it.
#include "ui/fltk/module_file.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "support/posix_test_support.h"
#include "support/seccomp_filter.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;
using ui::fltk::make_module_file;
using ui::fltk::ModuleFilePlaces;

std::vector<std::uint8_t> module_bytes() {
  std::vector<std::uint8_t> bytes(200'000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  return bytes;
}

std::string contents(int fd) {
  std::string text;
  char buffer[65536];
  off_t at = 0;
  for (ssize_t n; (n = ::pread(fd, buffer, sizeof buffer, at)) > 0; at += n) text.append(buffer, n);
  return text;
}

std::string as_text(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// What an attacker gets done to the file open as `fd` in process `owner`,
// through /proc/OWNER/fd: "cannot open: ...", or what a write and a
// truncation did.
std::string attack(pid_t owner, int fd) {
  const std::string path = "/proc/" + std::to_string(owner) + "/fd/" + std::to_string(fd);
  const int victim = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (victim < 0) return std::string("cannot open: ") + std::strerror(errno);
  std::string outcome;
  const char traps[16] = {'\xcc', '\xcc', '\xcc', '\xcc'};
  outcome += ::pwrite(victim, traps, sizeof traps, 0) < 0
                 ? std::string("write: ") + std::strerror(errno)
                 : std::string("written");
  outcome += ::ftruncate(victim, 0) < 0 ? std::string(", truncate: ") + std::strerror(errno)
                                        : std::string(", truncated");
  void* shared = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, victim, 0);
  outcome += shared == MAP_FAILED ? std::string(", map: ") + std::strerror(errno)
                                  : std::string(", mapped");
  if (shared != MAP_FAILED) ::munmap(shared, 4096);
  ::close(victim);
  return outcome;
}

TEST(ModuleFile, TheMemoryFileIsSealedAndHoldsTheBytes) {
  const std::vector<std::uint8_t> bytes = module_bytes();
  std::string error;
  const int fd = make_module_file(bytes, error);
  ASSERT_GE(fd, 0) << error;
  EXPECT_EQ(::fcntl(fd, F_GET_SEALS), F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE);
  EXPECT_EQ(::fcntl(fd, F_GETFD), FD_CLOEXEC);
  EXPECT_EQ(attack(::getpid(), fd),
            "write: Operation not permitted, truncate: Operation not permitted, "
            "map: Operation not permitted");
  EXPECT_EQ(contents(fd), as_text(bytes));
  ::close(fd);
}

TEST(ModuleFile, TheFallbackFileHasNoNameCanGetNoneAndIsTheOwnersAlone) {
  TempFolder room;
  const std::vector<std::uint8_t> bytes = module_bytes();
  std::string error;
  const int fd = make_module_file(
      bytes, error, {.memory_file = false, .temporary_folders = {room.path().string()}});
  ASSERT_GE(fd, 0) << error;
  struct stat st {};
  ASSERT_EQ(::fstat(fd, &st), 0);
  EXPECT_EQ(st.st_nlink, 0u) << "no name in any folder";
  EXPECT_EQ(st.st_mode & 07777, 0500u);
  EXPECT_TRUE(fs::is_empty(room.path()));
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  EXPECT_NE(::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, (room / "named").c_str(), AT_SYMLINK_FOLLOW),
            0)
      << "and it can never be given one";
  EXPECT_EQ(contents(fd), as_text(bytes));
  ::close(fd);
}

TEST(ModuleFile, WithNowhereToPutItTheReasonIsTold) {
  std::string error;
  EXPECT_EQ(make_module_file(module_bytes(), error,
                             {.memory_file = false, .temporary_folders = {"/nonexistent"}}),
            -1);
  EXPECT_EQ(error, "no private file in /nonexistent: No such file or directory");
}

// A process of the same user, the one an attacker controls: while the module
// is being loaded it cannot even open the file, and later it cannot change it.
TEST(ModuleFile, AProcessOfTheSameUserCannotChangeIt) {
  const uid_t user = testing_support::kLonelyUsers + 2;
  TempFolder room;
  fs::permissions(room.path(), fs::perms::all);
  for (const bool memory_file : {true, false}) {
    const std::string said = testing_support::in_child([&] {
      if (::setgid(user) != 0 || ::setuid(user) != 0) {
        return std::string("skip: cannot become an unprivileged user: ") + std::strerror(errno);
      }
      ::prctl(PR_SET_DUMPABLE, 1);  // as after an exec; setuid alone leaves it off
      const std::vector<std::uint8_t> bytes = module_bytes();
      std::string error, outcome;
      int fd = -1;
      {
        const ui::fltk::HiddenFromOtherProcesses hidden;
        fd = make_module_file(bytes, error, {memory_file, {room.path().string()}});
        if (fd < 0) return "no file: " + error;
        const pid_t owner = ::getpid();
        outcome = testing_support::in_child([&] { return attack(owner, fd); });
      }
      if (memory_file) {
        // Open to it again once loaded, the sealed file still cannot change.
        const pid_t owner = ::getpid();
        outcome += "; then " + testing_support::in_child([&] { return attack(owner, fd); });
      }
      if (contents(fd) != as_text(bytes)) outcome += "; CHANGED";
      return outcome;
    });
    if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
    if (memory_file) {
      EXPECT_EQ(said,
                "cannot open: Permission denied; then write: Operation not permitted, truncate: "
                "Operation not permitted, map: Operation not permitted");
    } else {
      EXPECT_EQ(said, "cannot open: Permission denied");
    }
  }
}

TEST(ModuleFile, WhereMemoryFilesAreRefusedAPrivateFileTakesTheirPlace) {
  for (const int refusal : {ENOSYS, EPERM}) {
    const std::string said = testing_support::in_child([refusal] {
      const int numbers[] = {__NR_memfd_create};
      if (refuse_system_calls(numbers, 1, refusal) != 0) {
        return std::string("skip: cannot install a seccomp filter: ") + std::strerror(errno);
      }
      std::string error;
      const int fd = make_module_file(module_bytes(), error);
      struct stat st {};
      if (fd < 0 || ::fstat(fd, &st) != 0) return "no file: " + error;
      std::string outcome = st.st_nlink == 0 && S_ISREG(st.st_mode) ? "private file" : "other file";
      // With no folder to fall back on, the refusal is what is told.
      if (make_module_file(module_bytes(), error, {true, {}}) < 0) outcome += "; " + error;
      return outcome;
    });
    if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
    EXPECT_EQ(said, "private file; no memory file: " + std::string(std::strerror(refusal)));
  }
}

}  // namespace
