// The POSIX platform against real folders and real child processes.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/medium_folder.h"
#include "platform/posix/spawn.h"
#include "support/posix_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::posix::resolve_in_folder;
using platform::posix::resolve_path;
using testing_support::read_file;
using testing_support::TempFolder;
using testing_support::write_file;

// Names a strange medium may carry: spaces, quotes, shell syntax, a leading
// dash, bytes that are not UTF-8.
const std::vector<std::string> kOddFolderNames = {
    "CD ROM", "it's \"quoted\"", "$(touch pwned)", "`touch pwned`", "a;touch pwned",
    "-rf", "caf\xe9 \xff\xfe", "new\nline"};

TEST(Resolve, FindsTheEntryWhateverItsLetterCase) {
  struct {
    const char* on_disk;
    const char* wanted;
  } cases[] = {{"NetClient.EXE", "NetClient.EXE"},
               {"NETCLIENT.EXE", "NetClient.EXE"},
               {"netclient.exe", "NetClient.EXE"},
               {"handbuch.PDF", "Handbuch.pdf"}};
  for (const auto& c : cases) {
    TempFolder medium;
    write_file(medium / c.on_disk);
    EXPECT_EQ(resolve_in_folder(medium.path().string(), c.wanted),
              (medium / c.on_disk).string())
        << c.on_disk;
    EXPECT_EQ(resolve_path((medium / c.wanted).string()), (medium / c.on_disk).string());
  }
}

TEST(Resolve, LetterCaseIsAsciiOnly) {
  TempFolder medium;
  write_file(medium / "CAF\xc9.PDF");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "caf\xc9.pdf"),
            (medium / "CAF\xc9.PDF").string());
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "caf\xe9.pdf"), std::nullopt)
      << "bytes beyond ASCII match only themselves, in any locale";
  EXPECT_EQ(resolve_path(std::string("x/INST.EXE\0/INST.EXE", 21)), std::nullopt);
}

TEST(Resolve, PrefersTheExactNameThenTheFirstBytewise) {
  TempFolder medium;
  write_file(medium / "handbuch.pdf");
  write_file(medium / "HANDBUCH.PDF");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "HandBuch.pdf"),
            (medium / "HANDBUCH.PDF").string());
  write_file(medium / "HandBuch.pdf");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "HandBuch.pdf"),
            (medium / "HandBuch.pdf").string());
}

// A disc's plain ISO 9660 names, as a mount that does not translate them
// shows them: upper case, with a version after a semicolon.
TEST(Resolve, AnIsoVersionSuffixCountsAsTheNameWithoutIt) {
  struct {
    const char* on_disk;
    const char* wanted;
  } cases[] = {{"INST.EXE;1", "INST.EXE"},
               {"NETCLIENT.EXE;1", "NetClient.EXE"},
               {"handbuch.pdf;32767", "Handbuch.pdf"}};
  for (const auto& c : cases) {
    TempFolder medium;
    write_file(medium / c.on_disk);
    EXPECT_EQ(resolve_in_folder(medium.path().string(), c.wanted), (medium / c.on_disk).string())
        << c.on_disk;
    EXPECT_EQ(resolve_path((medium / c.wanted).string()), (medium / c.on_disk).string());
  }

  TempFolder medium;
  for (const char* name : {"INST.EXE;", "INST.EXE;x", "INST.EXE;1a", "INST.EXE;-1", "INST.EXE 1",
                           "INST.EX;1", "INST.EXE;1;1", "XINST.EXE;1"}) {
    write_file(medium / name);
  }
  fs::create_directory(medium / "PROSPEKT.PDF;1");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "INST.EXE"), std::nullopt)
      << "only a semicolon and digits make a version";
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "Prospekt.pdf"), std::nullopt)
      << "a folder, with a version or without";
}

TEST(Resolve, PrefersTheNameItselfThenItsNewestIsoVersion) {
  TempFolder medium;
  write_file(medium / "INST.EXE;1");
  write_file(medium / "INST.EXE;12");
  write_file(medium / "INST.EXE;9");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "INST.EXE"),
            (medium / "INST.EXE;12").string());
  write_file(medium / "inst.exe");
  EXPECT_EQ(resolve_in_folder(medium.path().string(), "INST.EXE"), (medium / "inst.exe").string());
}

TEST(Resolve, OnlyRegularFilesCount) {
  TempFolder medium;
  TempFolder elsewhere;
  write_file(elsewhere / "real.pdf");
  fs::create_directory(medium / "Handbuch.pdf");
  fs::create_directory_symlink(elsewhere.path(), medium / "Prospekt.pdf");
  fs::create_symlink(elsewhere / "missing.exe", medium / "INST.EXE");
  ASSERT_EQ(::mkfifo((medium / "NetClient.EXE").c_str(), 0600), 0);
  fs::create_symlink(elsewhere / "real.pdf", medium / "Linked.pdf");

  const std::string folder = medium.path().string();
  EXPECT_EQ(resolve_in_folder(folder, "Handbuch.pdf"), std::nullopt) << "a folder";
  EXPECT_EQ(resolve_in_folder(folder, "PROSPEKT.PDF"), std::nullopt) << "a link to a folder";
  EXPECT_EQ(resolve_in_folder(folder, "INST.EXE"), std::nullopt) << "a dangling link";
  EXPECT_EQ(resolve_in_folder(folder, "NetClient.EXE"), std::nullopt) << "a fifo";
  EXPECT_EQ(resolve_in_folder(folder, "linked.pdf"), (medium / "Linked.pdf").string())
      << "a link to a file is that file";
}

TEST(Resolve, OddFolderNamesWork) {
  TempFolder top;
  for (const std::string& name : kOddFolderNames) {
    fs::create_directory(top / name);
    write_file(top / name / "PROSPEKT.PDF");
    EXPECT_TRUE(resolve_path((top / name / "Prospekt.pdf").string())) << name;
  }
}

TEST(Resolve, NamesThatAreNotPlainFileNamesAreAbsent) {
  TempFolder medium;
  write_file(medium / "INST.EXE");
  for (const char* name : {"", ".", "..", "x/INST.EXE", "../INST.EXE"}) {
    EXPECT_EQ(resolve_in_folder(medium.path().string(), name), std::nullopt) << name;
  }
}

TEST(Resolve, MissingOrOverlongFoldersAreAbsent) {
  TempFolder medium;
  write_file(medium / "file");
  EXPECT_EQ(resolve_path((medium / "missing" / "INST.EXE").string()), std::nullopt);
  EXPECT_EQ(resolve_path((medium / "file" / "INST.EXE").string()), std::nullopt);
  const std::string overlong = medium.path().string() + "/" + std::string(PATH_MAX + 10, 'a');
  EXPECT_EQ(resolve_path(overlong + "/INST.EXE"), std::nullopt);
}

TEST(Resolve, UnreadableFolderIsAbsent) {
  TempFolder medium;
  write_file(medium / "netclient.exe");
  fs::permissions(medium.path(), fs::perms::owner_all);  // 0700, owned by us
  // Root reads anything, so look from an unprivileged child.
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    if (::geteuid() != 0) ::chmod(medium.path().c_str(), 0);
    ::_exit(resolve_path((medium / "NetClient.EXE").string()) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Launches through the real platform and reads what the recorder saw.
class LaunchTest : public ::testing::Test {
 protected:
  LaunchTest() { ::setenv("CDSTART_RECORD", record_.c_str(), 1); }
  ~LaunchTest() override { ::unsetenv("CDSTART_RECORD"); }

  void install_recorder(const fs::path& where, fs::perms perms = fs::perms::owner_all) {
    fs::copy_file(CDSTART_RECORDER, where, fs::copy_options::overwrite_existing);
    fs::permissions(where, perms);
  }

  // The records written so far, waiting until there are `count` of them.
  std::vector<std::string> records(std::size_t count) {
    return testing_support::wait_for_records(record_, count);
  }

  static core::ExecuteRequest request(const fs::path& folder, const std::string& file) {
    return core::make_execute_request(0, file, "", folder.string() + "/", 1, false);
  }

  platform::Platform& native = platform::native_platform();
  TempFolder scratch;
  fs::path record_ = scratch / "record";
};

TEST_F(LaunchTest, StartsFromItsFolderWithACleanSlateWhateverTheFolderIsCalled) {
  TempFolder top;
  // Our own untidiness, which the target must not inherit.
  const int leaked = ::open("/dev/null", O_RDONLY);
  sigset_t blocked, previous;
  ::sigemptyset(&blocked);
  ::sigaddset(&blocked, SIGUSR1);
  ::sigprocmask(SIG_BLOCK, &blocked, &previous);
  struct sigaction ignore {}, old_usr2 {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGUSR2, &ignore, &old_usr2);

  for (const std::string& name : kOddFolderNames) {
    fs::create_directory(top / name);
    install_recorder(top / name / "inst.exe");
    EXPECT_TRUE(native.shell_execute_ex(request(top / name, "INST.EXE"))) << name;
  }

  ::sigprocmask(SIG_SETMASK, &previous, nullptr);
  ::sigaction(SIGUSR2, &old_usr2, nullptr);
  ::close(leaked);

  const std::vector<std::string> seen = records(kOddFolderNames.size());
  ASSERT_EQ(seen.size(), kOddFolderNames.size());
  std::vector<std::string> folders;
  for (const std::string& record : seen) {
    EXPECT_THAT(record, ::testing::HasSubstr("fds=0 1 2 \n"));
    EXPECT_THAT(record, ::testing::HasSubstr("SigBlk:\t0000000000000000\n"));
    EXPECT_THAT(record, ::testing::HasSubstr("SigIgn:\t0000000000000000\n"));
    EXPECT_THAT(record, ::testing::HasSubstr("session_leader=1\n"));
    const std::size_t cwd = record.find("cwd=") + 4;
    const std::string folder = record.substr(cwd, record.find("\narg0=") - cwd);
    EXPECT_THAT(record, ::testing::HasSubstr("arg0=" + folder + "/inst.exe\n"));
    EXPECT_THAT(record, ::testing::Not(::testing::HasSubstr("arg1=")));
    folders.push_back(fs::path(folder).filename().string());
  }
  EXPECT_THAT(folders, ::testing::UnorderedElementsAreArray(kOddFolderNames));
  EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
  EXPECT_FALSE(fs::exists(top / "pwned"));
}

TEST_F(LaunchTest, ManyLaunchesLeaveNoChildAndNoDescriptor) {
  install_recorder(scratch / "INST.EXE");
  auto open_descriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
  };
  const auto before = open_descriptors();
  constexpr int kLaunches = 50;
  for (int i = 0; i < kLaunches; ++i) {
    ASSERT_TRUE(native.shell_execute_ex(request(scratch.path(), "INST.EXE")));
  }
  EXPECT_EQ(records(kLaunches).size(), static_cast<std::size_t>(kLaunches));
  EXPECT_EQ(open_descriptors(), before);
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD) << "a child of ours is left over";
}

TEST_F(LaunchTest, MissingVanishedOrUnreachableTargetsFailCleanly) {
  install_recorder(scratch / "INST.EXE");
  EXPECT_FALSE(native.shell_execute_ex(request(scratch.path(), "NetClient.EXE")));
  EXPECT_FALSE(native.shell_execute_ex(request(scratch / "gone", "INST.EXE")));
  fs::create_directory(scratch / "NetClient.EXE");
  EXPECT_FALSE(native.shell_execute_ex(request(scratch.path(), "NetClient.EXE")));
  const std::string deep = std::string(PATH_MAX + 100, 'd');
  EXPECT_FALSE(native.shell_execute_ex(request(scratch / deep, "INST.EXE")));

  // Vanished between the check and the exec: the exec's failure is reported.
  using Failure = platform::posix::SpawnResult::Failure;
  const platform::posix::SpawnResult vanished = platform::posix::spawn_detached(
      {scratch.path().string(), (scratch / "vanished").string(), {"vanished"}, {}});
  EXPECT_EQ(vanished.failure, Failure::Exec);
  EXPECT_EQ(vanished.error, ENOENT);
  const platform::posix::SpawnResult gone = platform::posix::spawn_detached(
      {(scratch / "gone").string(), (scratch / "INST.EXE").string(), {"INST.EXE"}, {}});
  EXPECT_EQ(gone.failure, Failure::Folder);
  EXPECT_EQ(gone.error, ENOENT);
  EXPECT_EQ(records(0).size(), 0u);
}

TEST_F(LaunchTest, ATargetTheKernelCannotRunGoesToTheOpener) {
  write_file(scratch / "INST.EXE", "MZ not a program for this system");
  fs::permissions(scratch / "INST.EXE", fs::perms::owner_read | fs::perms::owner_write);
  install_recorder(scratch / "opener");
  const std::string target = (scratch / "INST.EXE").string();
  ASSERT_TRUE(platform::posix::spawn_detached(
      {scratch.path().string(), target, {target}, (scratch / "opener").string()}));
  const std::vector<std::string> seen = records(1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_THAT(seen[0], ::testing::HasSubstr("arg1=" + target + "\n"));

  // Without an opener the failure is reported.
  EXPECT_FALSE(platform::posix::spawn_detached({scratch.path().string(), target, {target}, {}}));
}

TEST_F(LaunchTest, DocumentThatIsMissingOpensNothing) {
  EXPECT_FALSE(native.shell_execute(
      core::make_open_request(0, "Handbuch.pdf", scratch.path().string())));
}

TEST(NativePlatform, ReportsItselfAsNotWindows) {
  platform::Platform& native = platform::native_platform();
  EXPECT_EQ(native.path_style().separator, '/');
  EXPECT_EQ(native.module_path(), fs::read_symlink("/proc/self/exe").string());
  const auto version = native.os_version();
  ASSERT_TRUE(version);
  EXPECT_EQ(version->platform_id, core::kPlatformOther);
  EXPECT_FALSE(core::use_run_as(version));
}

}  // namespace
