#include <algorithm>
#include <cstddef>

#include "ui/picture/image.h"

namespace ui {
namespace {

// Where each target column (or row) samples the source: the two neighbours
// and the weight of the second, in 1/256ths. Pixel centres map onto pixel
// centres, so a picture keeps its edges where they were.
struct Tap {
  int first;
  int second;
  int weight;
};

std::vector<Tap> taps(int source, int target) {
  std::vector<Tap> result(static_cast<std::size_t>(target));
  for (int i = 0; i < target; ++i) {
    const long long centre = ((2LL * i + 1) * source * 256) / (2LL * target) - 128;
    const long long clamped = std::clamp<long long>(centre, 0, (source - 1) * 256LL);
    const int first = static_cast<int>(clamped >> 8);
    result[static_cast<std::size_t>(i)] = {first, std::min(first + 1, source - 1),
                                           static_cast<int>(clamped & 0xFF)};
  }
  return result;
}

}  // namespace

Image scaled(const Image& source, int width, int height) {
  Image target{width, height, {}};
  if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) {
    target.width = std::max(width, 0);
    target.height = std::max(height, 0);
    target.rgba.assign(static_cast<std::size_t>(target.width) * target.height * 4, 0);
    return target;
  }
  target.rgba.resize(static_cast<std::size_t>(width) * height * 4);
  const std::vector<Tap> columns = taps(source.width, width);
  const std::vector<Tap> rows = taps(source.height, height);
  const auto stride = static_cast<std::size_t>(source.width) * 4;
  std::uint8_t* out = target.rgba.data();
  for (const Tap& row : rows) {
    const std::uint8_t* top = source.rgba.data() + static_cast<std::size_t>(row.first) * stride;
    const std::uint8_t* bottom = source.rgba.data() + static_cast<std::size_t>(row.second) * stride;
    for (const Tap& column : columns) {
      const std::size_t left = static_cast<std::size_t>(column.first) * 4;
      const std::size_t right = static_cast<std::size_t>(column.second) * 4;
      for (std::size_t c = 0; c < 4; ++c) {
        const int upper = top[left + c] * (256 - column.weight) + top[right + c] * column.weight;
        const int lower =
            bottom[left + c] * (256 - column.weight) + bottom[right + c] * column.weight;
        const int value = (upper * (256 - row.weight) + lower * row.weight + (1 << 15)) >> 16;
        *out++ = static_cast<std::uint8_t>(value);
      }
    }
  }
  return target;
}

}  // namespace ui
