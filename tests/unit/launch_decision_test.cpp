// The program's start-up decision and its launches, run whole on the headless
// backend against a recording platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "app/program.h"
#include "support/recording_platform.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::RecordingPlatform;

class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest() { platform.journal = &backend.journal; }

  int run_program() { return app::run_program(backend, platform); }

  ui::headless::HeadlessBackend backend;
  RecordingPlatform platform;
};

TEST_F(LauncherTest, WithoutMarkerFilesStartsTheInstallerAtOnceAndEnds) {
  EXPECT_EQ(run_program(), 0);

  EXPECT_THAT(platform.presence_queries,
              ElementsAre("D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"));
  ASSERT_EQ(platform.executed.size(), 1u);
  const core::ExecuteRequest& request = platform.executed[0];
  EXPECT_EQ(request, core::make_execute_request(0, "INST.EXE", "", "D:\\", 1, true));
  EXPECT_EQ(request.mask, 0x500u);
  // The cursor is up before the shell call, pending messages are handled once,
  // and no window is ever created.
  EXPECT_THAT(backend.journal, ElementsAre("title QUENDAL", "cursor AppStarting", "process_messages",
                                           "execute D:\\INST.EXE", "cursor Default"));
}

TEST_F(LauncherTest, DirectModeNeedsNoDisplay) {
  backend.has_display = false;
  EXPECT_EQ(run_program(), 0);
  EXPECT_EQ(platform.executed.size(), 1u);
}

TEST_F(LauncherTest, DirectModeSaysNothingAndEndsWithZeroWhenTheInstallerStarts) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_program(), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A calling script must be able to tell that nothing was installed.
TEST_F(LauncherTest, DirectModeThatCannotStartTheInstallerSaysWhyAndEndsWithThree) {
  struct {
    std::string module, reason, line;
  } cases[] = {
      {"D:\\CDSTART.EXE", "no such file", "cdstart: cannot start D:\\INST.EXE: no such file\n"},
      {"D:\\CDSTART.EXE", "", "cdstart: cannot start D:\\INST.EXE\n"},
      {"/media/new\nline/cdstart", "its interpreter \"/bin/sh\r\" does not exist",
       "cdstart: cannot start /media/new\\nline/INST.EXE: its interpreter \"/bin/sh\\r\" does "
       "not exist\n"},
  };
  for (const auto& c : cases) {
    RecordingPlatform failing;
    failing.module = c.module;
    failing.style = c.module.front() == '/' ? core::kPosixPaths : core::kWindowsPaths;
    failing.execute_succeeds = false;
    failing.failure_reason = c.reason;
    ui::headless::HeadlessBackend quiet;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(app::run_program(quiet, failing), 3) << c.line;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
    EXPECT_EQ(failing.executed.size(), 1u);
    EXPECT_EQ(quiet.journal.back(), "cursor Default");
    EXPECT_THAT(quiet.journal,
                ::testing::Not(::testing::Contains(::testing::StartsWith("realise"))));
  }
}

// Without its own folder the program cannot know its medium: rather than
// take the root folder (or any other) for it, it starts nothing.
TEST_F(LauncherTest, WithoutItsOwnPathItSaysSoStartsNothingAndEndsWithTwo) {
  platform.module = "";
  platform.failure_reason = "/proc/self/exe: No such file or directory";
  platform.present = {"\\NetClient.EXE", "D:\\NetClient.EXE"};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_program(), 2);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "cdstart: cannot find its own folder: /proc/self/exe: No such file or directory\n");
  EXPECT_THAT(platform.presence_queries, IsEmpty());
  EXPECT_THAT(platform.executed, IsEmpty());
  EXPECT_THAT(backend.journal, ElementsAre("title QUENDAL"));
}

TEST_F(LauncherTest, VerbFollowsTheSystemVersion) {
  struct {
    std::optional<core::OsVersion> version;
    const char* verb;
  } cases[] = {
      {core::OsVersion{1, 4}, "open"},  {core::OsVersion{2, 5}, "open"},
      {core::OsVersion{2, 6}, "runas"}, {core::OsVersion{2, 10}, "runas"},
      {std::nullopt, "open"},
  };
  for (const auto& c : cases) {
    RecordingPlatform fresh;
    fresh.version = c.version;
    ui::headless::HeadlessBackend quiet;
    app::run_program(quiet, fresh);
    ASSERT_EQ(fresh.executed.size(), 1u);
    EXPECT_EQ(fresh.executed[0].verb, c.verb);
  }
}

TEST_F(LauncherTest, DeeperFolderIsTheBaseWithoutItsSeparator) {
  platform.module = "D:\\Produkt\\CD\\CDSTART.EXE";
  run_program();
  EXPECT_EQ(platform.presence_queries.front(), "D:\\Produkt\\CD\\NetClient.EXE");
  ASSERT_EQ(platform.executed.size(), 1u);
  EXPECT_EQ(platform.executed[0].file, "INST.EXE");
  EXPECT_EQ(platform.executed[0].directory, "D:\\Produkt\\CD\\");
}

TEST_F(LauncherTest, PosixRootFolderIsAnEmptyBase) {
  platform.style = core::kPosixPaths;
  platform.module = "/cdstart";
  run_program();
  EXPECT_EQ(platform.presence_queries.front(), "/NetClient.EXE");
  ASSERT_EQ(platform.executed.size(), 1u);
  EXPECT_EQ(platform.executed[0].directory, "/");
}

struct MenuCase {
  const char* what;
  std::set<std::string> present;
  std::vector<std::string> create_queries;  // asked before the window is shown
  bool net, manual, brochure;               // visible buttons
};

void PrintTo(const MenuCase& c, std::ostream* out) { *out << c.what; }

class MenuModeTest : public LauncherTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuModeTest, ShowsTheWindowWithTheButtonsOfThePresentFiles) {
  const MenuCase& c = GetParam();
  platform.present = c.present;
  ui::Application application(backend);
  auto& form = application.create_form<app::TForm1>(platform);

  EXPECT_TRUE(form.visible());
  EXPECT_FALSE(application.terminated());
  EXPECT_TRUE(platform.executed.empty());
  // The creation tests stop at the first marker found; the show handler then
  // settles every button, before the window appears.
  std::vector<std::string> expected = c.create_queries;
  for (const char* file : {"D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"}) {
    expected.emplace_back(file);
  }
  EXPECT_EQ(platform.presence_queries, expected);
  EXPECT_EQ(form.BB_NET_INST->visible(), c.net);
  EXPECT_EQ(form.BB_HANDBUCH->visible(), c.manual);
  EXPECT_EQ(form.BB_PROSPEKT->visible(), c.brochure);
  EXPECT_TRUE(form.BB_PRG_INST->visible());
  EXPECT_TRUE(form.BitBtn15->visible());
  // Hidden buttons are settled before the window appears.
  ASSERT_GE(backend.journal.size(), 3u);
  EXPECT_EQ(backend.journal.front(), "realise Form1");
  EXPECT_THAT(std::vector(backend.journal.end() - 2, backend.journal.end()),
              ElementsAre("show Form1", "bring_to_front Form1"));
}

INSTANTIATE_TEST_SUITE_P(
    Markers, MenuModeTest,
    ::testing::Values(
        MenuCase{"driver", {"D:\\NetClient.EXE"}, {"D:\\NetClient.EXE"}, true, false, false},
        MenuCase{"manual",
                 {"D:\\Handbuch.pdf"},
                 {"D:\\NetClient.EXE", "D:\\Handbuch.pdf"},
                 false, true, false},
        MenuCase{"brochure",
                 {"D:\\Prospekt.pdf"},
                 {"D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"},
                 false, false, true},
        MenuCase{"all",
                 {"D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"},
                 {"D:\\NetClient.EXE"},
                 true, true, true}),
    [](const auto& param_info) { return std::string(param_info.param.what); });

TEST_F(LauncherTest, MenuWithoutDisplayEndsWithOneLineAndExitCodeOne) {
  platform.present = {"D:\\Handbuch.pdf"};
  backend.has_display = false;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_program(), 1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, ::testing::StartsWith("cdstart: cannot open display"));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_TRUE(platform.executed.empty());
}

}  // namespace
