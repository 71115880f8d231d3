// The context menu and the About box, wired up on the headless backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/about_box.h"
#include "app/main_form.h"
#include "support/recording_platform.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"

namespace {

using ::testing::ElementsAre;

class ContextMenuTest : public ::testing::Test {
 protected:
  ContextMenuTest() {
    platform.present = {"D:\\Prospekt.pdf"};
    form = &application.create_form<app::TForm1>(platform);
    about = &application.create_form<app::TAbout>();
    form->attach_about_box(*about);
    backend.journal.clear();
  }

  const ui::MenuItem& entry(std::string_view caption) {
    const ui::PopupMenu* menu = form->find_menu(form->Image1->props().popup_menu);
    for (const ui::MenuItem& item : menu->items) {
      if (item.props.caption == caption) return item;
    }
    throw std::runtime_error("no such entry");
  }

  ui::headless::HeadlessBackend backend;
  testing_support::RecordingPlatform platform;
  ui::Application application{backend};
  app::TForm1* form = nullptr;
  app::TAbout* about = nullptr;
};

TEST_F(ContextMenuTest, ThePictureCarriesTheMenuAndNothingElseDoes) {
  const ui::PopupMenu* menu = form->find_menu(form->Image1->props().popup_menu);
  ASSERT_NE(menu, nullptr);
  std::vector<std::string_view> captions;
  for (const ui::MenuItem& item : menu->items) captions.push_back(item.props.caption);
  EXPECT_THAT(captions, ElementsAre("Info", "-", "&Ende"));
  EXPECT_TRUE(menu->items[1].is_separator());
  for (const auto& control : form->controls()) {
    if (control.get() != form->Image1) {
      EXPECT_TRUE(control->props().popup_menu.empty());
    }
  }
}

TEST_F(ContextMenuTest, TheAboutBoxIsCreatedHiddenAfterTheMainWindow) {
  EXPECT_EQ(application.main_form(), form);
  EXPECT_FALSE(about->visible());
  EXPECT_EQ(about->handle(), 0u) << "not realised before it is first shown";
}

TEST_F(ContextMenuTest, InfoShowsTheBoxModallyUntilOkClosesIt) {
  bool main_took_input_while_modal = true;
  backend.input.push_back([&] {
    main_took_input_while_modal =
        std::ranges::find(backend.journal, "disable Form1") == backend.journal.end();
    about->BitBtn1->click();
  });
  form->choose(entry("Info"));

  EXPECT_FALSE(main_took_input_while_modal);
  EXPECT_FALSE(about->visible());
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(application.terminated());
  // The box is modal from its first appearance. The main window takes input
  // again before the box goes away, so that it gets the activation back.
  EXPECT_THAT(backend.journal,
              ElementsAre("realise About", "show_modal About", "bring_to_front About",
                          "disable Form1", "enable Form1", "hide About"));
}

TEST_F(ContextMenuTest, InfoTwiceShowsTheSameBoxTwice) {
  backend.input.push_back([&] { about->close_requested(); });
  form->choose(entry("Info"));
  const core::WindowHandle first = about->handle();
  backend.input.push_back([&] { about->BitBtn1->click(); });
  form->choose(entry("Info"));
  EXPECT_EQ(about->handle(), first);
  EXPECT_EQ(std::ranges::count(backend.journal, "realise About"), 1);
  EXPECT_EQ(std::ranges::count(backend.journal, "show_modal About"), 2);
  EXPECT_FALSE(about->is_modal()) << "modal only while shown";
}

TEST_F(ContextMenuTest, TheBoxBelongsToTheMainWindow) {
  EXPECT_EQ(about->owner(), form) << "kept above it, and hands the input back to it";
  EXPECT_EQ(form->owner(), nullptr);
}

TEST_F(ContextMenuTest, TheBoxIsAFixedTopmostToolWindowWithADefaultOkButton) {
  EXPECT_EQ(about->props().border, ui::BorderStyle::ToolWindow);
  EXPECT_TRUE(about->props().stays_on_top);
  EXPECT_EQ(about->find_control(about->props().active_control), about->BitBtn1);
  EXPECT_TRUE(about->BitBtn1->props().is_default);
  for (const auto& control : about->controls()) {
    if (control.get() != about->BitBtn1) {
      EXPECT_FALSE(control->props().is_default);
    }
  }
}

TEST_F(ContextMenuTest, EndeEndsTheProgramLikeBeenden) {
  form->choose(entry("&Ende"));
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(application.terminated());
  EXPECT_TRUE(platform.executed.empty());
}

TEST_F(ContextMenuTest, ClosingTheAboutBoxDoesNotEndTheProgram) {
  backend.input.push_back([&] { about->close_requested(); });
  form->choose(entry("Info"));
  EXPECT_FALSE(application.terminated());
}

}  // namespace
