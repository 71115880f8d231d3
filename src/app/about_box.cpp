#include "app/about_box.h"

#include <array>

namespace app {

const ui::FormLayout<TAbout>& TAbout::layout() {
  using ui::ControlKind;
  static constexpr ui::Font kTitleFont{"Arial", 19, ui::FontStyle::BoldItalic, ui::kRed};
  static constexpr std::array<ui::ControlLayout<TAbout>, 4> controls{{
      {.props = {.kind = ControlKind::Label,
                .name = "Label1",
                .bounds = {65, 10, 0, 0},
                .caption = "CD-Quendal 98",
                .font = kTitleFont},
       .field = &TAbout::Label1},
      {.props = {.kind = ControlKind::Label,
                .name = "Label2",
                .bounds = {25, 45, 0, 0},
                .caption = "Copyright 1998 Tarvolin Software GmbH"},
       .field = &TAbout::Label2},
      {.props = {.kind = ControlKind::Label,
                .name = "Label3",
                .bounds = {60, 70, 0, 0},
                .caption = "Internet: www.tarvolin.example"},
       .field = &TAbout::Label3},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BitBtn1",
                .bounds = {55, 105, 161, 25},
                .caption = "OK",
                .picture = ui::Picture::GlyphOk,
                .tab_order = 0,
                .is_default = true},
       .field = &TAbout::BitBtn1,
       .on_click = &TAbout::BitBtn1Click},
  }};
  static constexpr ui::FormLayout<TAbout> form{
      .props = {.name = "About",
               .caption = "About",
               .border = ui::BorderStyle::ToolWindow,
               .client_size = {274, 141},
               .position = ui::Position::ScreenCenter,
               .color = ui::kButtonFace,
               .font = {"MS Sans Serif", 11, ui::FontStyle::Regular, ui::kWindowText},
               .stays_on_top = true,
               .active_control = "BitBtn1"},
      .controls = controls,
  };
  return form;
}

TAbout::TAbout(ui::Application& application) : ui::Form(application) { load(layout()); }

void TAbout::BitBtn1Click() { close(); }

}  // namespace app
