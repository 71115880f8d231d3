#include <gtest/gtest.h>

#include <random>

#include "ui/picture/image.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(ui::Picture picture) {
  auto span = ui::picture_bytes(picture);
  return Bytes(span.begin(), span.end());
}

std::uint8_t alpha(const ui::Image& image, int x, int y) {
  return image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}

TEST(Pictures, TheBackgroundIsAnOpaque128PixelSquare) {
  const auto image = ui::load_picture(ui::Picture::Background);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 128);
  EXPECT_EQ(image->height, 128);
  for (std::size_t p = 3; p < image->rgba.size(); p += 4) ASSERT_EQ(image->rgba[p], 0xFF);
  // A baseline JFIF file: SOI, then the JFIF APP0 segment, and a SOF0 frame.
  const Bytes jpeg = bytes_of(ui::Picture::Background);
  ASSERT_GT(jpeg.size(), 11u);
  EXPECT_EQ(Bytes(jpeg.begin(), jpeg.begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
  EXPECT_EQ(std::string(jpeg.begin() + 6, jpeg.begin() + 11), std::string("JFIF\0", 5));
  const Bytes baseline_frame{0xFF, 0xC0};
  EXPECT_NE(std::search(jpeg.begin(), jpeg.end(), baseline_frame.begin(), baseline_frame.end()),
            jpeg.end());
}

// The action glyphs fill 36- and 56-pixel buttons; the OK glyph sits inside
// the About box's 25-pixel button, clear of its frame and focus mark.
TEST(Pictures, GlyphsFitTheirButtonsWithTheirBottomLeftColourTransparent) {
  struct {
    ui::Picture glyph;
    int side;
  } cases[] = {{ui::Picture::GlyphProgram, 32}, {ui::Picture::GlyphNetwork, 32},
               {ui::Picture::GlyphManual, 32},  {ui::Picture::GlyphBrochure, 32},
               {ui::Picture::GlyphAbort, 32},   {ui::Picture::GlyphOk, 16}};
  for (const auto& c : cases) {
    const auto image = ui::load_picture(c.glyph);
    ASSERT_TRUE(image) << static_cast<int>(c.glyph);
    EXPECT_EQ(image->width, c.side);
    EXPECT_EQ(image->height, c.side);
    EXPECT_EQ(alpha(*image, 0, c.side - 1), 0) << "bottom-left";
    EXPECT_EQ(alpha(*image, c.side - 1, 0), 0) << "top-right, white like the bottom-left";
    EXPECT_EQ(alpha(*image, c.side / 2, c.side / 2), 0xFF) << "the drawing itself";
  }
}

TEST(Pictures, TheIconHas32And16PixelImagesWithTransparentCorners) {
  for (int size : {32, 16}) {
    const auto image = ui::load_picture(ui::Picture::ProgramIcon, size);
    ASSERT_TRUE(image) << size;
    EXPECT_EQ(image->width, size);
    EXPECT_EQ(image->height, size);
    EXPECT_EQ(alpha(*image, 0, 0), 0);
    EXPECT_EQ(alpha(*image, size - 1, size - 1), 0);
    EXPECT_EQ(alpha(*image, size / 4 + 1, size / 2), 0xFF) << "the disc";
  }
  EXPECT_FALSE(ui::load_picture(ui::Picture::ProgramIcon, 48));
}

// Every prefix of every picture, and the pictures with bytes flipped at
// random: a clean answer each time, never a crash or a read past the end.
TEST(Pictures, DamagedFilesAreRefusedOrDecodedNeverCrash) {
  std::mt19937 random(1234);
  for (ui::Picture picture :
       {ui::Picture::Background, ui::Picture::GlyphAbort, ui::Picture::ProgramIcon}) {
    const Bytes whole = bytes_of(picture);
    auto decode = [picture](const Bytes& bytes) {
      switch (picture) {
        case ui::Picture::Background: return ui::decode_jpeg(bytes);
        case ui::Picture::ProgramIcon: return ui::decode_ico(bytes, 32);
        default: return ui::decode_glyph_bmp(bytes);
      }
    };
    for (std::size_t length = 0; length < whole.size(); length += 7) {
      const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      if (auto image = decode(prefix)) {
        EXPECT_EQ(image->rgba.size(), static_cast<std::size_t>(image->width) * image->height * 4);
      }
    }
    for (int round = 0; round < 300; ++round) {
      Bytes damaged = whole;
      for (int flips = 0; flips < 4; ++flips) {
        damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
      }
      if (auto image = decode(damaged)) {
        EXPECT_EQ(image->rgba.size(), static_cast<std::size_t>(image->width) * image->height * 4);
      }
    }
  }
}

TEST(Pictures, ImpossibleHeadersAreRefused) {
  Bytes bmp = bytes_of(ui::Picture::GlyphOk);
  auto with = [](Bytes bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
  };
  EXPECT_FALSE(ui::decode_glyph_bmp(with(bmp, 18, 100000))) << "enormous width";
  EXPECT_FALSE(ui::decode_glyph_bmp(with(bmp, 22, 0))) << "no rows";
  EXPECT_FALSE(ui::decode_glyph_bmp(with(bmp, 10, 0xFFFFFFF0))) << "pixels past the end";
  EXPECT_FALSE(ui::decode_glyph_bmp(with(bmp, 30, 1))) << "compressed";
  const Bytes ico = bytes_of(ui::Picture::ProgramIcon);
  EXPECT_FALSE(ui::decode_ico(with(ico, 6 + 12, 0xFFFFFF00), 32)) << "entry past the end";
  EXPECT_FALSE(ui::decode_jpeg(Bytes{0xFF, 0xD8, 0xFF})) << "nothing after the start";
  EXPECT_FALSE(ui::decode_jpeg(Bytes(64, 0x42))) << "not a JPEG";
  EXPECT_FALSE(ui::decode_jpeg({}));
}

}  // namespace

namespace {

ui::Image solid(int width, int height, std::uint8_t value) {
  return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, value)};
}

TEST(Scaling, StretchesToTheRequestedSizeKeepingFlatColoursAndCorners) {
  ui::Image checker{2, 2, {0, 0, 0, 255, 255, 255, 255, 255,  //
                           255, 255, 255, 255, 0, 0, 0, 255}};
  struct {
    int width, height;
  } sizes[] = {{385, 218}, {770, 218}, {2, 2}, {1, 1}, {3, 700}};
  for (const auto& size : sizes) {
    const ui::Image out = ui::scaled(checker, size.width, size.height);
    ASSERT_EQ(out.width, size.width);
    ASSERT_EQ(out.height, size.height);
    ASSERT_EQ(out.rgba.size(), static_cast<std::size_t>(size.width) * size.height * 4);
    for (std::size_t p = 3; p < out.rgba.size(); p += 4) ASSERT_EQ(out.rgba[p], 255);
  }
  const ui::Image big = ui::scaled(checker, 100, 100);
  EXPECT_EQ(big.rgba[0], 0) << "top-left stays black";
  EXPECT_EQ(big.rgba[(99 * 100 + 0) * 4], 255) << "bottom-left stays white";
  EXPECT_EQ(big.rgba[(50 * 100 + 50) * 4 - 4] / 10, 127 / 10) << "the middle blends";

  const ui::Image flat = ui::scaled(solid(128, 128, 200), 385, 218);
  for (std::uint8_t byte : flat.rgba) ASSERT_EQ(byte, 200);
}

TEST(Scaling, EmptyTargetsAndSourcesGiveEmptyOrBlankImages) {
  EXPECT_TRUE(ui::scaled(solid(4, 4, 9), 0, 10).rgba.empty());
  EXPECT_TRUE(ui::scaled(solid(4, 4, 9), -5, 10).rgba.empty());
  const ui::Image from_nothing = ui::scaled(ui::Image{}, 3, 2);
  EXPECT_EQ(from_nothing.rgba.size(), 24u);
}

}  // namespace
