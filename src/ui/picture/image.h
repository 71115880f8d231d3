// Decoded pictures, and the decoders for the formats the program carries.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ui/types.h"

namespace ui {

// Top-down rows of RGBA pixels.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// A baseline or progressive JPEG, decoded with libjpeg; nothing on any error.
std::optional<Image> decode_jpeg(std::span<const std::uint8_t> bytes);

// An uncompressed 24-bit Windows bitmap. Its bottom-left pixel's colour is
// the transparent one, as the glyphs of bitmap buttons are drawn.
std::optional<Image> decode_glyph_bmp(std::span<const std::uint8_t> bytes);

// The entry of a Windows icon that is `size` pixels square (4, 8, 24 or 32
// bits per pixel, BMP-coded, with its AND mask for transparency).
std::optional<Image> decode_ico(std::span<const std::uint8_t> bytes, int size);

// `source` stretched (or shrunk) to width x height, bilinearly. A stretched
// picture is drawn many times larger than it is stored, so this is fixed-point
// and quick rather than general.
Image scaled(const Image& source, int width, int height);

// The embedded file behind a picture of the program.
std::span<const std::uint8_t> picture_bytes(Picture picture);

// A picture of the program, decoded; icons at `icon_size`.
std::optional<Image> load_picture(Picture picture, int icon_size = 32);

}  // namespace ui
