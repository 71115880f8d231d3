// JPEG through libjpeg. libjpeg reports errors by calling error_exit, which
// must not return; ours jumps back to decode_into(), past libjpeg's own
// frames only: no C++ frame is ever skipped, and the state the jump crosses
// lives in the caller's objects, not in locals of the jumping function.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

#include "ui/picture/image.h"

namespace ui {
namespace {

// Larger than anything the program carries; guards against a huge allocation.
constexpr JDIMENSION kMaxSide = 4096;

struct Decoder {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  std::jmp_buf on_error{};
};

[[noreturn]] void jump_back(j_common_ptr info) {
  Decoder* decoder = static_cast<Decoder*>(info->client_data);
  std::longjmp(decoder->on_error, 1);
}

void stay_quiet(j_common_ptr) {}

bool decode_into(Decoder& decoder, std::span<const std::uint8_t> bytes, Image& image) {
  jpeg_decompress_struct& info = decoder.info;
  info.err = jpeg_std_error(&decoder.errors);
  decoder.errors.error_exit = jump_back;
  decoder.errors.output_message = stay_quiet;
  if (setjmp(decoder.on_error) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.client_data = &decoder;
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width > kMaxSide ||
      info.image_height > kMaxSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const auto width = static_cast<std::size_t>(info.output_width);
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  image.rgba.assign(width * info.output_height * 4, 0xFF);
  while (info.output_scanline < info.output_height) {
    // Each RGB row lands at the start of its RGBA row and is spread out from
    // the right, so that no pixel is overwritten before it is moved.
    std::uint8_t* row = image.rgba.data() + info.output_scanline * width * 4;
    JSAMPROW rows[] = {row};
    jpeg_read_scanlines(&info, rows, 1);
    for (std::size_t x = width; x-- > 0;) {
      row[x * 4 + 2] = row[x * 3 + 2];
      row[x * 4 + 1] = row[x * 3 + 1];
      row[x * 4 + 0] = row[x * 3 + 0];
      row[x * 4 + 3] = 0xFF;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<Image> decode_jpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  Decoder decoder;
  Image image;
  if (!decode_into(decoder, bytes, image)) return std::nullopt;
  return image;
}

}  // namespace ui
