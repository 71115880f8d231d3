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

TEST_F(LauncherTest, DirectModeEndsEvenWhenTheInstallerIsMissing) {
  platform.execute_succeeds = false;
  EXPECT_EQ(run_program(), 0);
  EXPECT_EQ(backend.journal.back(), "cursor Default");
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

class MenuClickTest : public LauncherTest {
 protected:
  MenuClickTest() {
    platform.present = {"D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"};
    form = &application.create_form<app::TForm1>(platform);
    backend.journal.clear();
  }
  ui::Application application{backend};
  app::TForm1* form = nullptr;
};

TEST_F(MenuClickTest, InstallButtonsLaunchFromTheMediumFolderAndKeepTheWindow) {
  form->BB_PRG_INST->click();
  form->BB_NET_INST->click();
  form->BB_PRG_INST->click();

  const core::WindowHandle owner = form->handle();
  ASSERT_NE(owner, 0u);
  EXPECT_THAT(platform.executed,
              ElementsAre(core::make_execute_request(owner, "INST.EXE", "", "D:\\", 1, true),
                          core::make_execute_request(owner, "NetClient.EXE", "", "D:\\", 1, true),
                          core::make_execute_request(owner, "INST.EXE", "", "D:\\", 1, true)));
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(application.terminated());
  EXPECT_EQ(application.cursor(), ui::Cursor::Default);
  EXPECT_THAT(std::vector(backend.journal.begin(), backend.journal.begin() + 4),
              ElementsAre("cursor AppStarting", "process_messages", "execute D:\\INST.EXE",
                          "cursor Default"));
}

TEST_F(MenuClickTest, DocumentButtonsOpenTheBareNameFromTheBaseFolder) {
  form->BB_HANDBUCH->click();
  form->BB_PROSPEKT->click();
  const core::WindowHandle owner = form->handle();
  EXPECT_THAT(platform.opened,
              ElementsAre(core::OpenRequest{owner, "Open", "Handbuch.pdf", "", "D:", 1},
                          core::OpenRequest{owner, "Open", "Prospekt.pdf", "", "D:", 1}));
  // Opening a document changes no cursor.
  EXPECT_THAT(backend.journal, ElementsAre("open Handbuch.pdf", "open Prospekt.pdf"));
}

TEST_F(MenuClickTest, InstallerClickWithoutInstallerChangesNothingVisible) {
  platform.execute_succeeds = false;
  form->BB_PRG_INST->click();
  EXPECT_TRUE(form->visible());
  EXPECT_EQ(application.cursor(), ui::Cursor::Default);
  EXPECT_THAT(backend.journal, ::testing::Not(::testing::Contains(::testing::StartsWith("error"))));
}

TEST_F(MenuClickTest, QuitButtonClosesTheWindowAndEndsTheProgram) {
  form->BitBtn15->click();
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(application.terminated());
}

TEST_F(MenuClickTest, CloseBoxEndsTheProgram) {
  form->close_requested();
  EXPECT_TRUE(application.terminated());
}


TEST_F(MenuClickTest, AnErrorInAHandlerIsShownAndTheCursorComesBack) {
  struct Failing : platform::Platform {
    core::PathStyle path_style() const override { return core::kWindowsPaths; }
    std::string module_path() override { return "D:\\X.EXE"; }
    std::optional<core::OsVersion> os_version() override { return std::nullopt; }
    bool is_present(const std::string&) override { return true; }
    bool shell_execute_ex(const core::ExecuteRequest&) override {
      throw std::runtime_error("shell gone");
    }
    bool shell_execute(const core::OpenRequest&) override { return false; }
  } failing;
  ui::Application other(backend);
  auto& menu = other.create_form<app::TForm1>(failing);
  backend.journal.clear();
  menu.BB_PRG_INST->click();
  EXPECT_THAT(backend.journal, ::testing::Contains("error : shell gone"));
  EXPECT_EQ(other.cursor(), ui::Cursor::Default);
  EXPECT_TRUE(menu.visible());
}

}  // namespace

namespace {

TEST(FormOrder, FocusStartsOnBeendenAndTabFollowsTheTabOrder) {
  ui::headless::HeadlessBackend backend;
  testing_support::RecordingPlatform platform;
  platform.present = {"D:\\Prospekt.pdf"};
  ui::Application application(backend);
  auto& form = application.create_form<app::TForm1>(platform);
  std::vector<std::string_view> names;
  for (const ui::Control* control : form.creation_order()) names.push_back(control->name());
  EXPECT_THAT(names, ElementsAre("Notebook1", "Image1", "BitBtn15", "BB_PRG_INST", "BB_NET_INST",
                                 "BB_HANDBUCH", "BB_PROSPEKT"));
  EXPECT_EQ(form.initial_focus(), form.BitBtn15);
}

}  // namespace
