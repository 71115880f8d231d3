#include "ui/win32/win32_painting.h"

namespace ui::win32 {
namespace {

// 32-bit pixels, top row first.
BITMAPINFO top_down_rgb32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

void Bitmap::draw(HDC dc, int x, int y) const {
  const BITMAPINFO info = top_down_rgb32(width, height);
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

Bitmap over(const Image& image, COLORREF background) {
  Bitmap bitmap{image.width, image.height, {}};
  bitmap.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  const std::uint32_t back = static_cast<std::uint32_t>(GetRValue(background)) << 16 |
                             static_cast<std::uint32_t>(GetGValue(background)) << 8 |
                             GetBValue(background);
  for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
    const std::uint8_t* p = image.rgba.data() + i * 4;
    bitmap.pixels[i] = p[3] == 0 ? back
                                 : static_cast<std::uint32_t>(p[0]) << 16 |
                                       static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  }
  return bitmap;
}

SIZE drawn_text_size(HFONT font, const std::wstring& text, UINT format) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return {0, 0};
  HGDIOBJ old_font = SelectObject(dc, font);
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), -1, &extent, format | DT_CALCRECT);
  SIZE size{extent.right, extent.bottom};

  // Black text on white, with room to the right for ink past the extent.
  const int width = extent.right + extent.bottom * 2 + 8;
  const int height = extent.bottom;
  const BITMAPINFO info = top_down_rgb32(width, height);
  void* bits = nullptr;
  HBITMAP canvas = height > 0 ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                              : nullptr;
  if (canvas) {
    HGDIOBJ old_bitmap = SelectObject(dc, canvas);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT place{0, 0, width, height};
    DrawTextW(dc, text.c_str(), -1, &place, format | DT_NOCLIP);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int x = width - 1; x >= size.cx; --x) {
      bool ink = false;
      for (int y = 0; y < height && !ink; ++y) {
        ink = (pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF) != 0xFFFFFF;
      }
      if (ink) {
        size.cx = x + 1;
        break;
      }
    }
    SelectObject(dc, old_bitmap);
    DeleteObject(canvas);
  }
  SelectObject(dc, old_font);
  DeleteDC(dc);
  return size;
}

}  // namespace ui::win32
