// Which clue to the program's own file is believed, and in what order.
#include "core/own_path.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using core::OwnPathCandidate;
using core::OwnPathClues;

struct CluesCase {
  const char* what;
  OwnPathClues clues;
  std::vector<OwnPathCandidate> candidates;
};

void PrintTo(const CluesCase& c, std::ostream* out) { *out << c.what; }

}  // namespace

namespace core {
void PrintTo(const OwnPathCandidate& c, std::ostream* out) {
  *out << c.path << (c.must_be_confirmed ? " (to confirm)" : "");
}
}  // namespace core

namespace {

class OwnPathTest : public ::testing::TestWithParam<CluesCase> {};

TEST_P(OwnPathTest, CandidatesInTheOrderTheyAreTrusted) {
  EXPECT_EQ(core::own_path_candidates(core::kPosixPaths, GetParam().clues), GetParam().candidates);
}

INSTANTIATE_TEST_SUITE_P(
    Clues, OwnPathTest,
    ::testing::Values(
        CluesCase{"started plainly: the kernel's link first",
                  {"/media/cd/cdstart", "./cdstart", "./cdstart", "/media/cd", false},
                  {{"/media/cd/cdstart", false}, {"/media/cd/./cdstart", false}}},
        CluesCase{"started through a link elsewhere",
                  {"/media/cd/cdstart", "/usr/local/bin/cds", "cds", "/home/u", false},
                  {{"/media/cd/cdstart", false}, {"/usr/local/bin/cds", false}}},
        CluesCase{"no /proc: the executed name, against the start folder",
                  {"", "./cdstart", "./cdstart", "/media/cd", false},
                  {{"/media/cd/./cdstart", false}}},
        CluesCase{"no /proc, started from the root folder",
                  {"", "cdstart", "cdstart", "/", false},
                  {{"/cdstart", false}}},
        CluesCase{"through the loader: its link is the loader's, and names need confirming",
                  {"/usr/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2", "/media/cd/cdstart",
                   "/media/cd/cdstart", "/home/u", true},
                  {{"/media/cd/cdstart", true}}},
        CluesCase{"through an older loader, which leaves the executed name its own",
                  {"", "/lib64/ld-linux-x86-64.so.2", "cd/cdstart", "/media", true},
                  {{"/lib64/ld-linux-x86-64.so.2", true}, {"/media/cd/cdstart", true}}},
        CluesCase{"a first argument without a folder came from a PATH search",
                  {"", "", "cdstart", "/media/cd", false},
                  {}},
        CluesCase{"relative names without a start folder lead nowhere",
                  {"", "./cdstart", "./cdstart", "", false},
                  {}},
        CluesCase{"nothing at all", {"", "", "", "/", false}, {}},
        CluesCase{"a kernel link that is no path is not believed",
                  {"cdstart (deleted)", "/media/cd/cdstart", "", "/", false},
                  {{"/media/cd/cdstart", false}}}),
    [](const auto& param_info) { return "case" + std::to_string(param_info.index); });

TEST(AbsolutePath, JoinsRelativeNamesToTheFolder) {
  struct {
    const char* folder;
    const char* path;
    const char* absolute;
  } cases[] = {{"/media/cd", "cdstart", "/media/cd/cdstart"},
               {"/media/cd/", "x/cdstart", "/media/cd/x/cdstart"},
               {"/", "cdstart", "/cdstart"},
               {"/home", "/media/cd/cdstart", "/media/cd/cdstart"},
               {"", "/media/cd/cdstart", "/media/cd/cdstart"},
               {"", "cdstart", ""},
               {"/home", "", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(core::absolute_path(core::kPosixPaths, c.folder, c.path), c.absolute)
        << c.folder << " + " << c.path;
  }
  EXPECT_EQ(core::absolute_path(core::kWindowsPaths, "D:\\CD", "CDSTART.EXE"),
            "D:\\CD\\CDSTART.EXE");
}

}  // namespace
