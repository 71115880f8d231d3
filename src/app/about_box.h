// The About box: who made the program. Shown modally from the start menu's
// context menu; the same box every time.
#pragma once

#include "ui/form.h"

namespace app {

class TAbout final : public ui::Form {
 public:
  explicit TAbout(ui::Application& application);

  ui::Control* Label1 = nullptr;
  ui::Control* Label2 = nullptr;
  ui::Control* Label3 = nullptr;
  ui::Control* BitBtn1 = nullptr;

 private:
  static const ui::FormLayout<TAbout>& layout();

  void BitBtn1Click();
};

}  // namespace app
