#include "app/main_form.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/exit_code.h"
#include "core/failure_line.h"
#include "core/os_version.h"
#include "core/path_style.h"
#include "core/shell_request.h"
#include "ui/application.h"

namespace app {
namespace {

// Puts the default cursor back however the launch ends.
class DefaultCursorOnExit {
 public:
  explicit DefaultCursorOnExit(ui::Application& application) : application_(application) {}
  DefaultCursorOnExit(const DefaultCursorOnExit&) = delete;
  DefaultCursorOnExit& operator=(const DefaultCursorOnExit&) = delete;
  ~DefaultCursorOnExit() { application_.set_cursor(ui::Cursor::Default); }

 private:
  ui::Application& application_;
};

void tell(const std::string& line) { std::fputs(line.c_str(), stderr); }

constexpr ui::Font kWindowFont{"MS Sans Serif", 11, ui::FontStyle::Regular, ui::kWindowText};
constexpr ui::Font kQuitFont{"MS Sans Serif", 11, ui::FontStyle::Regular, ui::kRed};
constexpr ui::Font kInstallFont{"Arial", 21, ui::FontStyle::BoldItalic, ui::kBlack};
constexpr ui::Font kActionFont{"Arial", 16, ui::FontStyle::BoldItalic, ui::kBlack};

}  // namespace

const ui::FormLayout<TForm1>& TForm1::layout() {
  using ui::ControlKind;
  using ui::Picture;
  static constexpr std::array<ui::ControlLayout<TForm1>, 7> controls{{
      {.props = {.kind = ControlKind::Page, .name = "Notebook1", .fills_client = true},
       .field = &TForm1::Notebook1},
      {.props = {.kind = ControlKind::Image,
                .name = "Image1",
                .fills_client = true,
                .picture = Picture::Background,
                .popup_menu = "PopupMenu1"},
       .field = &TForm1::Image1},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BitBtn15",
                .bounds = {10, 170, 131, 36},
                .caption = "&Beenden",
                .font = kQuitFont,
                .picture = Picture::GlyphAbort,
                .tab_order = 0},
       .field = &TForm1::BitBtn15,
       .on_click = &TForm1::BitBtn15Click},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BB_PRG_INST",
                .bounds = {20, 10, 346, 56},
                .caption = "Programm installieren",
                .font = kInstallFont,
                .picture = Picture::GlyphProgram,
                .tooltip = "installieren Sie die Software",
                .tab_order = 1},
       .field = &TForm1::BB_PRG_INST,
       .on_click = &TForm1::BB_PRG_INSTClick},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BB_NET_INST",
                .bounds = {20, 75, 346, 36},
                .caption = "Netzwerkarbeitsplatztreiber installieren",
                .font = kActionFont,
                .picture = Picture::GlyphNetwork,
                .tooltip = "installieren Sie den Treiber für den Netzwerkarbeitsplatz",
                .tab_order = 2},
       .field = &TForm1::BB_NET_INST,
       .on_click = &TForm1::BB_NET_INSTClick},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BB_HANDBUCH",
                .bounds = {20, 120, 346, 36},
                .caption = "Handbuch lesen",
                .font = kActionFont,
                .picture = Picture::GlyphManual,
                .tooltip = "lesen Sie das Handbuch zur Software",
                .tab_order = 3},
       .field = &TForm1::BB_HANDBUCH,
       .on_click = &TForm1::BB_HANDBUCHClick},
      {.props = {.kind = ControlKind::BitButton,
                .name = "BB_PROSPEKT",
                .bounds = {150, 170, 216, 36},
                .caption = "Prospekt lesen",
                .font = kActionFont,
                .picture = Picture::GlyphBrochure,
                .tooltip = "lesen Sie den Prospekt zur Software",
                .tab_order = 4},
       .field = &TForm1::BB_PROSPEKT,
       .on_click = &TForm1::BB_PROSPEKTClick},
  }};
  static constexpr std::array<ui::MenuItemLayout<TForm1>, 3> popup_items{{
      {.props = {.name = "Info1", .caption = "Info"}, .on_click = &TForm1::Info1Click},
      {.props = {.name = "N1", .caption = "-"}},
      {.props = {.name = "About1", .caption = "&Ende"}, .on_click = &TForm1::About1Click},
  }};
  static constexpr std::array<ui::PopupMenuLayout<TForm1>, 1> menus{{
      {.name = "PopupMenu1", .items = popup_items},
  }};
  static constexpr ui::FormLayout<TForm1> form{
      .props = {.name = "Form1",
               .caption = "CD-ROM Tarvolin",
               .border = ui::BorderStyle::SizeableToolWindow,
               .outer_size = {401, 254},
               .client_size = {385, 218},
               .position = ui::Position::ScreenCenter,
               .color = ui::kButtonFace,
               .font = kWindowFont,
               .icon = Picture::ProgramIcon},
      .on_create = &TForm1::FormCreate,
      .on_show = &TForm1::FormShow,
      .controls = controls,
      .menus = menus,
  };
  return form;
}

TForm1::TForm1(ui::Application& application, platform::Platform& platform)
    : ui::Form(application), platform_(platform), path_style_(platform.path_style()) {
  load(layout());
}

// Decides, before anyone sees the window, whether there is anything to choose
// between. Without a driver installer, manual or brochure on the medium the
// installer starts at once and the program ends without a menu. A program
// that cannot find its own folder cannot find its medium either: it says so
// and ends, rather than take some other folder for it.
void TForm1::FormCreate() {
  UseRunAs = core::use_run_as(platform_.os_version());
  const std::string module = platform_.module_path();
  if (module.empty()) {
    tell(core::no_own_folder_line(platform_.last_error()));
    exit_code_ = kExitNoOwnFolder;
    application().terminate();
    return;
  }
  BaseDir = core::base_dir_from_module_path(path_style_, module);
  const bool worth_a_menu = std::ranges::any_of(
      core::kMarkerFiles, [this](core::MediumFile file) { return is_present(file); });
  if (worth_a_menu) {
    show();
    return;
  }
  if (!LaunchFile(medium_path(core::MediumFile::Inst))) exit_code_ = kExitLaunchFailed;
  application().terminate();
}

// Offers only what the medium carries; hidden buttons leave their place empty.
void TForm1::FormShow() {
  BB_NET_INST->set_visible(is_present(core::MediumFile::NetClient));
  BB_HANDBUCH->set_visible(is_present(core::MediumFile::Handbuch));
  BB_PROSPEKT->set_visible(is_present(core::MediumFile::Prospekt));
}

void TForm1::BitBtn15Click() { close(); }
void TForm1::BB_PRG_INSTClick() { LaunchFile(medium_path(core::MediumFile::Inst)); }
void TForm1::BB_NET_INSTClick() { LaunchFile(medium_path(core::MediumFile::NetClient)); }
void TForm1::BB_HANDBUCHClick() { OpenDocument(core::file_name(core::MediumFile::Handbuch)); }
void TForm1::BB_PROSPEKTClick() { OpenDocument(core::file_name(core::MediumFile::Prospekt)); }

void TForm1::Info1Click() {
  if (About) About->show_modal();
}

void TForm1::About1Click() { close(); }

// Starts an executable from its own folder. The application-starting cursor
// is up until the shell has taken the request; the started program is never
// waited for. A failure changes nothing on the screen: it is told in one line
// on standard error, and the result lets the direct start end with an exit
// code that a calling script can see.
bool TForm1::LaunchFile(const std::string& path) {
  application().set_cursor(ui::Cursor::AppStarting);
  const DefaultCursorOnExit restore_cursor(application());
  application().process_messages();
  const core::SplitPath split = core::split_path(path_style_, path);
  if (RunShellExecute(handle(), split.file, "", split.folder, core::kShowNormal)) return true;
  tell(core::launch_failure_line(path, platform_.last_error()));
  return false;
}

bool TForm1::RunShellExecute(core::WindowHandle owner, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) {
  return platform_.shell_execute_ex(
      core::make_execute_request(owner, file, parameters, directory, show, UseRunAs));
}

// Opens a document with whatever program the desktop associates with it.
void TForm1::OpenDocument(std::string_view document) {
  platform_.shell_execute(core::make_open_request(handle(), document, BaseDir));
}

std::string TForm1::medium_path(core::MediumFile file) const {
  return core::join(path_style_, BaseDir, core::file_name(file));
}

bool TForm1::is_present(core::MediumFile file) const {
  return platform_.is_present(medium_path(file));
}

}  // namespace app
