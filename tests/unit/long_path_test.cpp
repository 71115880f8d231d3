// A medium folder whose path is longer than the kernel takes in one call
// (PATH_MAX): found, looked into, and started from, all by descriptor.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "platform/platform.h"
#include "platform/posix/folder_walk.h"
#include "platform/posix/medium_folder.h"
#include "platform/posix/spawn.h"
#include "support/posix_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::posix::Descriptor;
using platform::posix::open_folder;
using testing_support::field;
using testing_support::TempFolder;

// Makes folders of 200-byte names inside `top` until the path is at least
// `length` long (mkdir cannot take such a path whole); returns the path.
std::string make_deep_folder(const std::string& top, std::size_t length) {
  const std::string name(200, 'd');
  std::string path = top;
  Descriptor at(::open(top.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  while (at && path.size() < length) {
    if (::mkdirat(at.get(), name.c_str(), 0755) != 0) return {};
    at = Descriptor(::openat(at.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    path += "/" + name;
  }
  return at ? path : std::string();
}

// Writes a file by its folder's descriptor.
bool put(const std::string& folder, const std::string& name, const std::string& text,
         mode_t mode = 0644) {
  const Descriptor at = open_folder(folder);
  if (!at) return false;
  const Descriptor file(
      ::openat(at.get(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  return file && ::write(file.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

class LongPathTest : public ::testing::Test {
 protected:
  LongPathTest() : deep(make_deep_folder(top.path().string(), 5000)) {}

  TempFolder top;
  std::string deep;
};

TEST_F(LongPathTest, FilesAreFoundInAnyLetterCase) {
  ASSERT_GE(deep.size(), 5000u);
  ASSERT_TRUE(put(deep, "HANDBUCH.PDF", "%PDF"));
  ASSERT_TRUE(put(deep, "Prospekt.pdf", "%PDF"));
  EXPECT_EQ(platform::posix::resolve_in_folder(deep, "Handbuch.pdf"), deep + "/HANDBUCH.PDF");
  EXPECT_EQ(platform::posix::resolve_path(deep + "/Prospekt.pdf"), deep + "/Prospekt.pdf");
  EXPECT_TRUE(platform::native_platform().is_present(deep + "/handbuch.pdf"));
  EXPECT_FALSE(platform::native_platform().is_present(deep + "/NetClient.EXE"));
  // Relative to a deep working folder, too.
  EXPECT_EQ(platform::posix::resolve_in_folder(deep + "/", "prospekt.PDF"), deep + "/Prospekt.pdf");
}

TEST_F(LongPathTest, TheFolderIsOpenedAndSpeltBackExactly) {
  ASSERT_GE(deep.size(), 5000u);
  const Descriptor folder = open_folder(deep);
  ASSERT_TRUE(folder);
  EXPECT_EQ(platform::posix::folder_path(folder), deep);
  // Through a link and a "..", as the kernel walks them.
  const std::string first = (top / std::string(200, 'd')).string();
  ASSERT_EQ(::symlink(first.c_str(), (top / "link").c_str()), 0);
  const std::string winding =
      (top / "link").string() + "/../" + deep.substr(top.path().string().size() + 1);
  EXPECT_EQ(platform::posix::folder_path(open_folder(winding)), deep);
  const Descriptor missing = open_folder(deep + "/missing/" + std::string(200, 'x'));
  EXPECT_FALSE(missing);
  EXPECT_EQ(errno, ENOENT);
}

TEST(PathForChild, IsTheWholePathWhereItFitsElseRelativeToTheFolder) {
  const std::string deep = "/m/" + std::string(PATH_MAX, 'd');
  struct {
    std::string folder, path, expected;
  } cases[] = {
      {"/m", "/m/INST.EXE", "/m/INST.EXE"},
      {deep, deep + "/INST.EXE", "./INST.EXE"},
      {deep + "/", deep + "/INST.EXE", "./INST.EXE"},
      {deep, "/usr/bin/xdg-open", "/usr/bin/xdg-open"},
      {"/other", deep + "/INST.EXE", deep + "/INST.EXE"},
      {deep + "x", deep + "/INST.EXE", deep + "/INST.EXE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::posix::path_for_child(c.folder, c.path), c.expected)
        << c.folder.size() << " " << c.path.size();
  }
}

TEST_F(LongPathTest, TargetsStartThereWithThatFolderAsTheirOwn) {
  ASSERT_GE(deep.size(), 5000u);
  const fs::path record = top / "record";
  ::setenv("CDSTART_RECORD", record.c_str(), 1);
  const Descriptor folder = open_folder(deep);
  ASSERT_TRUE(folder);
  {
    // The recorder, copied in by descriptor.
    const std::string bytes = testing_support::read_file(CDSTART_RECORDER);
    ASSERT_TRUE(put(deep, "inst.exe", bytes, 0755));
  }
  platform::Platform& native = platform::native_platform();
  EXPECT_TRUE(
      native.shell_execute_ex(core::make_execute_request(0, "INST.EXE", "", deep + "/", 1, false)));
  const std::vector<std::string> seen = testing_support::wait_for_records(record, 1);
  ::unsetenv("CDSTART_RECORD");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(field(seen[0], "cwd"), deep);
  EXPECT_EQ(field(seen[0], "pwd_env"), deep);
  EXPECT_EQ(field(seen[0], "arg0"), deep + "/inst.exe");
}

}  // namespace
