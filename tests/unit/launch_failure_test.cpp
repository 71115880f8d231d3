// Starts that fail say why, and a file the kernel cannot run is as good as
// its opener's verdict.
#include "platform/posix/launch_failure.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/platform.h"
#include "platform/posix/spawn.h"
#include "support/posix_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::posix::DetachedCommand;
using platform::posix::spawn_detached;
using Failure = platform::posix::SpawnResult::Failure;
using testing_support::TempFolder;
using testing_support::write_file;

void write_script(const fs::path& path, const std::string& text) {
  write_file(path, text);
  fs::permissions(path, fs::perms::owner_all);
}

class LaunchFailureTest : public ::testing::Test {
 protected:
  // What the native platform says after starting `file` from the scratch folder.
  std::string failure_of(const std::string& file) {
    platform::Platform& native = platform::native_platform();
    const bool started = native.shell_execute_ex(
        core::make_execute_request(0, file, "", scratch.path().string() + "/", 1, false));
    return started ? "started" : native.last_error();
  }

  // A program the kernel cannot run, handed to `opener`.
  DetachedCommand through(const std::string& opener) const {
    const std::string windows_program = (scratch / "INST.EXE").string();
    write_file(windows_program, "MZ\x90");
    fs::permissions(windows_program, fs::perms::owner_read | fs::perms::owner_write);
    return {scratch.path().string(), windows_program, {windows_program}, opener};
  }

  TempFolder scratch;
};

TEST_F(LaunchFailureTest, EachFailureIsNamed) {
  fs::create_directory(scratch / "Folder.exe");
  write_script(scratch / "crlf.exe", "#!/bin/sh\r\necho installed\r\n");
  write_script(scratch / "gone.exe", "#!/nonexistent/interpreter -e\n");
  write_file(scratch / "plain.exe",
             "\x7f"
             "ELF not really");
  fs::permissions(scratch / "plain.exe", fs::perms::owner_read);
  EXPECT_EQ(failure_of("INST.EXE"), "no such file");
  EXPECT_EQ(failure_of("Folder.exe"), "no such file");
  // A script saved with Windows line ends asks for "/bin/sh\r".
  EXPECT_EQ(failure_of("CRLF.EXE"), "its interpreter \"/bin/sh\r\" does not exist");
  EXPECT_EQ(failure_of("gone.exe"), "its interpreter \"/nonexistent/interpreter\" does not exist");

  const std::string plain = (scratch / "plain.exe").string();
  const platform::posix::SpawnResult result =
      spawn_detached({scratch.path().string(), plain, {plain}, {}});
  EXPECT_EQ(result.failure, Failure::Exec);
  EXPECT_EQ(platform::posix::describe_launch_failure(result, {}), "Permission denied");
}

TEST_F(LaunchFailureTest, TheOpenersVerdictDecides) {
  write_script(scratch / "xdg-open", "#!/bin/sh\nexit 3\n");
  const DetachedCommand refused = through((scratch / "xdg-open").string());
  const platform::posix::SpawnResult result = spawn_detached(refused);
  EXPECT_EQ(result.failure, Failure::OpenerVerdict);
  EXPECT_EQ(platform::posix::describe_launch_failure(result, refused),
            "xdg-open could not open it (exit code 3)");

  write_script(scratch / "content", "#!/bin/sh\n[ \"$1\" = \"$PWD/INST.EXE\" ]\n");
  EXPECT_TRUE(spawn_detached(through((scratch / "content").string())))
      << "an opener that takes the file ends with 0";

  const platform::posix::SpawnResult missing = spawn_detached(through((scratch / "none").string()));
  EXPECT_EQ(missing.failure, Failure::OpenerExec);
  EXPECT_EQ(missing.error, ENOENT);

  // The verdict is awaited by a process of its own: none of ours is left.
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(LaunchFailureTest, AnOpenerStillBusyAfterTheWaitHasTakenTheFile) {
  // xdg-open runs the program it chose in its own stead; it is not waited for
  // to its end.
  write_script(scratch / "busy", "#!/bin/sh\nexec sleep 5 </dev/null >/dev/null 2>&1\n");
  DetachedCommand command = through((scratch / "busy").string());
  command.opener_verdict_wait = std::chrono::milliseconds(100);
  EXPECT_TRUE(spawn_detached(command));
}

TEST_F(LaunchFailureTest, ARefusedForkIsNamed) {
  // Root is exempt from the process limit; a user of its own is not, and no
  // other process counts against it.
  const uid_t user = testing_support::kLonelyUsers + 1;
  fs::permissions(scratch.path(),
                  fs::perms::all & ~fs::perms::others_write & ~fs::perms::group_write);
  write_script(scratch / "INST.EXE", "#!/bin/sh\n");
  fs::permissions(scratch / "INST.EXE",
                  fs::perms::all & ~fs::perms::others_write & ~fs::perms::group_write);
  for (const rlim_t limit : {1, 2}) {  // the first fork, or the second
    const std::string said = testing_support::in_child([&] {
      if (::setgid(user) != 0 || ::setuid(user) != 0) {
        return std::string("skip: cannot become an unprivileged user: ") + std::strerror(errno);
      }
      const rlimit processes{limit, limit};
      ::setrlimit(RLIMIT_NPROC, &processes);
      return failure_of("INST.EXE");
    });
    if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
    EXPECT_EQ(said, "cannot create a process: Resource temporarily unavailable") << limit;
  }
}

}  // namespace
