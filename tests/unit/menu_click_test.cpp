// The start menu's buttons, run on the headless backend against a recording
// platform: what each starts or opens, and what a failure leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "support/recording_platform.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"

namespace {

using ::testing::ElementsAre;
using testing_support::RecordingPlatform;

class MenuClickTest : public ::testing::Test {
 protected:
  MenuClickTest() {
    platform.journal = &backend.journal;
    platform.present = {"D:\\NetClient.EXE", "D:\\Handbuch.pdf", "D:\\Prospekt.pdf"};
    form = &application.create_form<app::TForm1>(platform);
    backend.journal.clear();
  }
  ui::headless::HeadlessBackend backend;
  RecordingPlatform platform;
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

TEST_F(MenuClickTest, InstallerClickWithoutInstallerChangesNothingVisibleAndSaysWhyOnStderr) {
  platform.execute_succeeds = false;
  ::testing::internal::CaptureStderr();
  form->BB_PRG_INST->click();
  form->BB_NET_INST->click();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "cdstart: cannot start D:\\INST.EXE: no such file\n"
            "cdstart: cannot start D:\\NetClient.EXE: no such file\n");
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(application.terminated());
  EXPECT_EQ(application.cursor(), ui::Cursor::Default);
  EXPECT_THAT(backend.journal, ::testing::Not(::testing::Contains(::testing::StartsWith("error"))));
  EXPECT_EQ(form->exit_code(), 0);
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
