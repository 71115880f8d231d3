#include "embedded_pictures.h"
#include "ui/picture/image.h"

namespace ui {

std::span<const std::uint8_t> picture_bytes(Picture picture) {
  switch (picture) {
    case Picture::Empty: return {};
    case Picture::Background: return embedded::kBackground;
    case Picture::GlyphProgram: return embedded::kGlyphProgram;
    case Picture::GlyphNetwork: return embedded::kGlyphNetwork;
    case Picture::GlyphManual: return embedded::kGlyphManual;
    case Picture::GlyphBrochure: return embedded::kGlyphBrochure;
    case Picture::GlyphAbort: return embedded::kGlyphAbort;
    case Picture::GlyphOk: return embedded::kGlyphOk;
    case Picture::ProgramIcon: return embedded::kProgramIcon;
  }
  return {};
}

std::optional<Image> load_picture(Picture picture, int icon_size) {
  const std::span<const std::uint8_t> bytes = picture_bytes(picture);
  switch (picture) {
    case Picture::Empty: return std::nullopt;
    case Picture::Background: return decode_jpeg(bytes);
    case Picture::ProgramIcon: return decode_ico(bytes, icon_size);
    default: return decode_glyph_bmp(bytes);
  }
}

}  // namespace ui
