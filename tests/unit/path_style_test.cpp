#include <gtest/gtest.h>

#include "core/medium.h"
#include "core/path_style.h"

namespace {

using core::kPosixPaths;
using core::kWindowsPaths;
using core::PathStyle;

struct SplitCase {
  const char* what;
  PathStyle style;
  const char* path;
  const char* file;
  const char* folder;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.what; }

class SplitPathTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, SplitsAtLastSeparatorAndRejoins) {
  const SplitCase& c = GetParam();
  const core::SplitPath split = core::split_path(c.style, c.path);
  EXPECT_EQ(split.file, c.file);
  EXPECT_EQ(split.folder, c.folder);
  EXPECT_EQ(split.folder + split.file, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitPathTest,
    ::testing::Values(
        SplitCase{"drive root", kWindowsPaths, "D:\\INST.EXE", "INST.EXE", "D:\\"},
        SplitCase{"deeper folder", kWindowsPaths, "D:\\CD\\Setup\\INST.EXE", "INST.EXE",
                  "D:\\CD\\Setup\\"},
        SplitCase{"drive colon without separator", kWindowsPaths, "D:INST.EXE", "INST.EXE", "D:"},
        SplitCase{"bare drive base", kWindowsPaths, "D:\\NetClient.EXE", "NetClient.EXE", "D:\\"},
        SplitCase{"UNC share", kWindowsPaths, "\\\\srv\\cd\\INST.EXE", "INST.EXE",
                  "\\\\srv\\cd\\"},
        SplitCase{"no separator", kWindowsPaths, "INST.EXE", "INST.EXE", ""},
        SplitCase{"forward slash is a name byte on Windows rules", kWindowsPaths, "D:\\a/b.EXE",
                  "a/b.EXE", "D:\\"},
        SplitCase{"posix root", kPosixPaths, "/INST.EXE", "INST.EXE", "/"},
        SplitCase{"posix deeper", kPosixPaths, "/media/cd rom/INST.EXE", "INST.EXE",
                  "/media/cd rom/"},
        SplitCase{"colon is a name byte on posix", kPosixPaths, "/mnt/D:INST.EXE", "D:INST.EXE",
                  "/mnt/"},
        SplitCase{"backslash is a name byte on posix", kPosixPaths, "/cd/a\\b.EXE", "a\\b.EXE",
                  "/cd/"},
        SplitCase{"trailing separator", kPosixPaths, "/cd/", "", "/cd/"},
        SplitCase{"empty", kPosixPaths, "", "", ""}),
    [](const auto& param_info) { return "case" + std::to_string(param_info.index); });

struct BaseDirCase {
  PathStyle style;
  const char* module_path;
  const char* base_dir;
};

void PrintTo(const BaseDirCase& c, std::ostream* out) { *out << c.module_path; }

class BaseDirTest : public ::testing::TestWithParam<BaseDirCase> {};

TEST_P(BaseDirTest, IsTheExecutablesFolderWithoutTrailingSeparator) {
  const BaseDirCase& c = GetParam();
  EXPECT_EQ(core::base_dir_from_module_path(c.style, c.module_path), c.base_dir);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BaseDirTest,
    ::testing::Values(BaseDirCase{kWindowsPaths, "D:\\CDSTART.EXE", "D:"},
                      BaseDirCase{kWindowsPaths, "D:\\Produkt\\CD\\CDSTART.EXE", "D:\\Produkt\\CD"},
                      BaseDirCase{kWindowsPaths, "D:CDSTART.EXE", "D:"},
                      BaseDirCase{kPosixPaths, "/cdstart", ""},
                      BaseDirCase{kPosixPaths, "/media/user/CD-ROM/cdstart", "/media/user/CD-ROM"},
                      BaseDirCase{kPosixPaths, "/a//cdstart", "/a/"}),
    [](const auto& param_info) { return "case" + std::to_string(param_info.index); });

TEST(MediumPaths, AreTheBaseFollowedBySeparatorAndName) {
  struct {
    PathStyle style;
    const char* base;
    core::MediumFile file;
    const char* path;
  } cases[] = {
      {kWindowsPaths, "D:", core::MediumFile::NetClient, "D:\\NetClient.EXE"},
      {kWindowsPaths, "D:", core::MediumFile::Handbuch, "D:\\Handbuch.pdf"},
      {kWindowsPaths, "D:", core::MediumFile::Prospekt, "D:\\Prospekt.pdf"},
      {kWindowsPaths, "D:\\CD", core::MediumFile::Inst, "D:\\CD\\INST.EXE"},
      {kPosixPaths, "", core::MediumFile::Inst, "/INST.EXE"},
      {kPosixPaths, "/media/cd", core::MediumFile::Handbuch, "/media/cd/Handbuch.pdf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::join(c.style, c.base, core::file_name(c.file)), c.path);
  }
}

TEST(MediumPaths, MarkerFilesAreTestedDriverManualBrochureAndNeverTheInstaller) {
  EXPECT_EQ(core::kMarkerFiles,
            (std::array{core::MediumFile::NetClient, core::MediumFile::Handbuch,
                        core::MediumFile::Prospekt}));
}

}  // namespace
