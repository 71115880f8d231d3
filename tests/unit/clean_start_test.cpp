// What a started program finds when it starts, however untidy we are: its
// descriptors 0 to 2 open, no descriptor of ours, PWD telling its folder.
// Also on hosts without close_range (before Linux 5.11) and without /proc,
// with a descriptor limit of a million.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/posix/spawn.h"
#include "support/posix_test_support.h"
#include "support/seccomp_filter.h"

namespace {

namespace fs = std::filesystem;
using testing_support::field;
using testing_support::TempFolder;

class CleanStartTest : public ::testing::Test {
 protected:
  CleanStartTest() {
    fs::copy_file(CDSTART_RECORDER, scratch / "INST.EXE");
    ::setenv("CDSTART_RECORD", record.c_str(), 1);
  }
  ~CleanStartTest() override { ::unsetenv("CDSTART_RECORD"); }

  // Starts the recorder; "started" or why not.
  std::string start() const {
    const std::string program = (scratch / "INST.EXE").string();
    const platform::posix::SpawnResult result =
        platform::posix::spawn_detached({scratch.path().string() + "/", program, {program}, {}});
    return result ? "started" : "failed " + std::to_string(result.error);
  }

  std::string only_record() const {
    const std::vector<std::string> seen = testing_support::wait_for_records(record, 1);
    if (seen.size() == 1) return seen[0];
    return std::to_string(seen.size()) + " records";
  }

  TempFolder scratch;
  fs::path record = scratch / "record";
};

TEST_F(CleanStartTest, StandardDescriptorsAreOpenEvenWhenOursWereClosedOrOurOwn) {
  const std::string said = testing_support::in_child([this] {
    // Closed 0 to 2, then files of ours in their places, as a program
    // started with them closed gets its first files there.
    ::close(0);
    ::close(1);
    ::close(2);
    const int zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);  // lands on 0
    return std::to_string(zero) + " " + start();
  });
  EXPECT_EQ(said, "0 started");
  const std::string seen = only_record();
  EXPECT_EQ(field(seen, "std"), "null null null ") << seen;
  EXPECT_EQ(field(seen, "fds"), "0 1 2 ") << seen;
}

TEST_F(CleanStartTest, PwdIsTheWorkingFolderNotOurs) {
  const std::string said = testing_support::in_child([this] {
    ::setenv("PWD", "/somewhere/stale", 1);
    return start();
  });
  EXPECT_EQ(said, "started");
  const std::string seen = only_record();
  EXPECT_EQ(field(seen, "cwd"), scratch.path().string());
  EXPECT_EQ(field(seen, "pwd_env"), scratch.path().string());
}

// Our descriptors, among them one at the top of a limit of a million (or as
// many as the host lets us have).
std::string leave_descriptors_open() {
  rlimit many{1 << 20, 1 << 20};
  if (::setrlimit(RLIMIT_NOFILE, &many) != 0) {
    ::getrlimit(RLIMIT_NOFILE, &many);
    many.rlim_cur = many.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &many) != 0) return "cannot raise the descriptor limit";
  }
  const int low = ::open("/dev/null", O_RDONLY);
  if (low < 0 || ::dup2(low, static_cast<int>(many.rlim_cur - 1)) < 0) {
    return "cannot open descriptors";
  }
  return {};
}

std::string refuse_close_range() {
  const int numbers[] = {__NR_close_range};
  if (refuse_system_calls(numbers, 1, ENOSYS) != 0) {
    return std::string("skip: cannot install a seccomp filter: ") + std::strerror(errno);
  }
  if (::close_range(3, 3, CLOSE_RANGE_CLOEXEC) == 0 || errno != ENOSYS) {
    return "close_range still works";
  }
  return {};
}

std::string hide_proc() {
  if (::unshare(CLONE_NEWNS) != 0 ||
      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
    return std::string("skip: no private mount namespace with an empty /proc here: ") +
           std::strerror(errno);
  }
  return {};
}

TEST_F(CleanStartTest, WithoutCloseRangeOurDescriptorsStillStayBehind) {
  const std::string said = testing_support::in_child([this] {
    std::string trouble = leave_descriptors_open();
    if (trouble.empty()) trouble = refuse_close_range();
    return trouble.empty() ? start() : trouble;
  });
  if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
  EXPECT_EQ(said, "started");
  EXPECT_EQ(field(only_record(), "fds"), "0 1 2 ");
}

TEST_F(CleanStartTest, WithoutCloseRangeAndWithoutProcOurDescriptorsStillStayBehind) {
  const std::string said = testing_support::in_child([this] {
    std::string trouble = leave_descriptors_open();
    if (trouble.empty()) trouble = hide_proc();
    if (trouble.empty()) trouble = refuse_close_range();
    return trouble.empty() ? start() : trouble;
  });
  if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
  EXPECT_EQ(said, "started");
  // The recorder, without /proc as well, asks about every descriptor.
  EXPECT_EQ(field(only_record(), "fds"), "0 1 2 ");
}

}  // namespace
