// The program's own file, found for certain on this host: with /proc, without
// it, through links, and never from a clue that names another file.
#include "platform/posix/own_executable.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/platform.h"
#include "platform/posix/folder_walk.h"
#include "support/posix_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::posix::Descriptor;
using platform::posix::find_own_file;
using platform::posix::holds_this_program;
using platform::posix::open_folder;
using testing_support::TempFolder;

const std::string kSelf = fs::read_symlink("/proc/self/exe").string();

bool holds(const fs::path& file) {
  const Descriptor folder = open_folder(file.parent_path().string());
  return folder && holds_this_program(folder.get(), file.filename().string());
}

TEST(OwnExecutable, OnlyAFileWithThisProgramsBytesHoldsIt) {
  TempFolder scratch;
  fs::copy_file(kSelf, scratch / "copy");
  const std::string bytes = testing_support::read_file(kSelf);
  testing_support::write_file(scratch / "short", bytes.substr(0, 100));
  std::string altered = bytes;
  altered[0x200] = static_cast<char>(altered[0x200] ^ 1);  // among the headers and build id
  testing_support::write_file(scratch / "altered", altered);

  EXPECT_TRUE(holds(kSelf));
  EXPECT_TRUE(holds(scratch / "copy")) << "the same bytes elsewhere are the same program";
  EXPECT_FALSE(holds(CDSTART_RECORDER)) << "another program";
  EXPECT_FALSE(holds("/usr/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2")) << "the loader";
  EXPECT_FALSE(holds(scratch / "short"));
  EXPECT_FALSE(holds(scratch / "altered"));
  EXPECT_FALSE(holds(scratch / "missing"));
}

TEST(OwnExecutable, CluesAreFollowedThroughLinksAndConfirmedWhereTheyMayLie) {
  TempFolder scratch;
  fs::create_directory(scratch / "bin");
  fs::create_symlink(kSelf, scratch / "bin" / "self");
  fs::create_symlink("bin/self", scratch / "relative");
  fs::create_directory_symlink(fs::path(kSelf).parent_path(), scratch / "folder");
  const std::string start = scratch.path().string();
  const std::string file_name = fs::path(kSelf).filename().string();
  struct {
    const char* what;
    core::OwnPathClues clues;
    std::string found;
  } cases[] = {
      {"the kernel's link", {kSelf, "", "", "/", false}, kSelf},
      {"no /proc: a link to it", {"", "bin/self", "", start, false}, kSelf},
      {"a link to a link", {"", "relative", "", start, false}, kSelf},
      {"a linked folder", {"", "folder/" + file_name, "", start, false}, kSelf},
      {"the loader's own name is not believed",
       {"", "/lib64/ld-linux-x86-64.so.2", "./relative", start, true},
       kSelf},
      {"another program under our name is not believed", {"", CDSTART_RECORDER, "", "/", true}, ""},
      {"a file that is not there", {"", "/nonexistent/cdstart", "", "/", false}, ""},
      {"a folder", {"", start, "", "/", false}, ""},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(find_own_file(c.clues, why), c.found) << c.what;
    EXPECT_EQ(why.empty(), !c.found.empty()) << c.what << ": " << why;
  }
}

TEST(OwnExecutable, IsFoundWithoutProc) {
  const std::string said = testing_support::in_child([] {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
      return std::string("skip: no private mount namespace with an empty /proc here: ") +
             std::strerror(errno);
    }
    if (::access("/proc/self/exe", F_OK) == 0) return std::string("/proc is still there");
    return platform::native_platform().module_path();
  });
  if (said.rfind("skip: ", 0) == 0) GTEST_SKIP() << said;
  EXPECT_EQ(said, kSelf);
}

}  // namespace
