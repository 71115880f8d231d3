// The two Windows bitmap formats the program carries: 24-bit BMP glyphs and
// the icon. Every offset and size read from the bytes is checked against
// their length before it is used.
#include <cstring>

#include "ui/picture/image.h"

namespace ui {
namespace {

constexpr int kMaxSide = 1024;

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  std::uint32_t u8(std::size_t at) const { return has(at, 1) ? bytes_[at] : 0; }
  std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
  std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
  std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
  const std::uint8_t* at(std::size_t offset) const { return bytes_.data() + offset; }

 private:
  std::span<const std::uint8_t> bytes_;
};

std::size_t stride(int width, int bits) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

void put(Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
         std::uint8_t a) {
  std::uint8_t* p = image.rgba.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
}

Image blank(int width, int height) {
  Image image{width, height, {}};
  image.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
  return image;
}

// A BITMAPINFOHEADER-described bitmap whose pixels start at `pixels`, with an
// optional AND mask after them. Rows are stored bottom-up.
std::optional<Image> decode_dib(const Reader& in, std::size_t header, std::size_t pixels,
                                int height, bool and_mask) {
  const std::int32_t width = in.i32(header + 4);
  const std::uint32_t bits = in.u16(header + 14);
  if (in.u32(header) < 40 || in.u16(header + 12) != 1 || in.u32(header + 16) != 0) {
    return std::nullopt;  // not a plain uncompressed bitmap
  }
  if (width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide) return std::nullopt;
  if (bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

  std::size_t palette_size = 0;
  if (bits <= 8) {
    palette_size = in.u32(header + 32);
    if (palette_size == 0 || palette_size > (1u << bits)) palette_size = 1u << bits;
  }
  const std::size_t palette = header + in.u32(header);
  if (bits <= 8) pixels = palette + palette_size * 4;
  const std::size_t row_bytes = stride(width, static_cast<int>(bits));
  const std::size_t mask_row_bytes = stride(width, 1);
  const std::size_t mask = pixels + row_bytes * static_cast<std::size_t>(height);
  if (!in.has(palette, palette_size * 4) || !in.has(pixels, row_bytes * height) ||
      (and_mask && !in.has(mask, mask_row_bytes * height))) {
    return std::nullopt;
  }

  Image image = blank(width, height);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = pixels + row_bytes * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t b, g, r, a = 0xFF;
      if (bits <= 8) {
        const std::uint32_t packed = in.u8(row + x * bits / 8);
        std::size_t index = bits == 8 ? packed : (x % 2 == 0 ? packed >> 4 : packed & 0x0F);
        if (index >= palette_size) index = 0;
        b = in.u8(palette + index * 4);
        g = in.u8(palette + index * 4 + 1);
        r = in.u8(palette + index * 4 + 2);
      } else {
        const std::size_t p = row + static_cast<std::size_t>(x) * (bits / 8);
        b = in.u8(p);
        g = in.u8(p + 1);
        r = in.u8(p + 2);
        if (bits == 32) a = in.u8(p + 3);
      }
      if (and_mask) {
        const std::size_t mask_row = mask + mask_row_bytes * static_cast<std::size_t>(height - 1 - y);
        if (in.u8(mask_row + x / 8) & (0x80u >> (x % 8))) a = 0;
      }
      put(image, x, y, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
          static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(a));
    }
  }
  return image;
}

}  // namespace

std::optional<Image> decode_glyph_bmp(std::span<const std::uint8_t> bytes) {
  const Reader in(bytes);
  if (!in.has(0, 54) || in.u8(0) != 'B' || in.u8(1) != 'M') return std::nullopt;
  if (in.u16(28) != 24) return std::nullopt;
  std::optional<Image> image = decode_dib(in, 14, in.u32(10), in.i32(22), false);
  if (!image) return std::nullopt;
  // The bottom-left pixel's colour is drawn transparent wherever it occurs.
  const std::size_t corner = static_cast<std::size_t>(image->height - 1) * image->width * 4;
  std::uint8_t key[3];
  std::memcpy(key, image->rgba.data() + corner, 3);
  for (std::size_t p = 0; p < image->rgba.size(); p += 4) {
    if (std::memcmp(image->rgba.data() + p, key, 3) == 0) image->rgba[p + 3] = 0;
  }
  return image;
}

std::optional<Image> decode_ico(std::span<const std::uint8_t> bytes, int size) {
  const Reader in(bytes);
  if (!in.has(0, 6) || in.u16(0) != 0 || in.u16(2) != 1) return std::nullopt;
  const std::uint32_t count = in.u16(4);
  for (std::uint32_t i = 0; i < count && in.has(6 + i * 16, 16); ++i) {
    const std::size_t entry = 6 + i * 16;
    const int width = in.u8(entry) == 0 ? 256 : static_cast<int>(in.u8(entry));
    if (width != size) continue;
    const std::size_t header = in.u32(entry + 12);
    if (!in.has(header, 40)) return std::nullopt;
    // The header's height counts the colour bitmap and the mask together.
    return decode_dib(in, header, header + in.u32(header), in.i32(header + 8) / 2, true);
  }
  return std::nullopt;
}

}  // namespace ui
