// The files a distribution medium may carry beside the start menu.
#pragma once

#include <array>
#include <string_view>

namespace core {

enum class MediumFile { NetClient, Handbuch, Prospekt, Inst };

// The names as the program spells them; on the medium they match without
// regard to letter case.
constexpr std::string_view file_name(MediumFile file) {
  switch (file) {
    case MediumFile::NetClient: return "NetClient.EXE";  // network workstation driver installer
    case MediumFile::Handbuch: return "Handbuch.pdf";    // manual
    case MediumFile::Prospekt: return "Prospekt.pdf";    // brochure
    case MediumFile::Inst: return "INST.EXE";            // product installer
  }
  return {};
}

// The files that make a menu worthwhile, in the order they are tested. The
// product installer is never tested: it is what runs when none of these is
// there.
inline constexpr std::array kMarkerFiles{MediumFile::NetClient, MediumFile::Handbuch,
                                         MediumFile::Prospekt};

}  // namespace core
