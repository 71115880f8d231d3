// The start menu window, and with it the launcher: at creation it decides
// whether the medium needs a menu at all or whether the installer runs at once.
#pragma once

#include <string>
#include <string_view>

#include "app/about_box.h"
#include "core/medium.h"
#include "platform/platform.h"
#include "ui/form.h"

namespace app {

class TForm1 final : public ui::Form {
 public:
  TForm1(ui::Application& application, platform::Platform& platform);

  // The box that the context menu's "Info" shows.
  void attach_about_box(TAbout& about) { About = &about; }

  // How the start-up decision ended: an ExitCode.
  int exit_code() const { return exit_code_; }

  // The controls, bound by the layout.
  ui::Control* Notebook1 = nullptr;
  ui::Control* Image1 = nullptr;
  ui::Control* BitBtn15 = nullptr;
  ui::Control* BB_PRG_INST = nullptr;
  ui::Control* BB_NET_INST = nullptr;
  ui::Control* BB_HANDBUCH = nullptr;
  ui::Control* BB_PROSPEKT = nullptr;

 private:
  static const ui::FormLayout<TForm1>& layout();

  void FormCreate();
  void FormShow();
  void BitBtn15Click();
  void BB_PRG_INSTClick();
  void BB_NET_INSTClick();
  void BB_HANDBUCHClick();
  void BB_PROSPEKTClick();
  void Info1Click();
  void About1Click();

  bool LaunchFile(const std::string& path);
  bool RunShellExecute(core::WindowHandle owner, const std::string& file,
                       const std::string& parameters, const std::string& directory, int show);
  void OpenDocument(std::string_view document);

  std::string medium_path(core::MediumFile file) const;
  bool is_present(core::MediumFile file) const;

  TAbout* About = nullptr;
  platform::Platform& platform_;
  core::PathStyle path_style_;
  std::string BaseDir;  // the executable's folder, without a trailing separator
  bool UseRunAs = false;
  int exit_code_ = 0;
};

}  // namespace app
