// What the forms draw themselves: pictures laid over the button face, and
// text measured as it is drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/picture/image.h"

namespace ui::win32 {

// Top-down 32-bit pixels ready for SetDIBitsToDevice.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB

  void draw(HDC dc, int x, int y) const;
};

// The picture laid over a background colour where it is transparent.
Bitmap over(const Image& image, COLORREF background);

// The room `text` takes when DrawTextW draws it with `font` and `format`:
// its measured extent, widened to wherever its ink actually reaches. Letters
// may reach past their advance (the last letter of an italic text), and a
// renderer may draw glyphs wider than their metrics (Wine does), so the ink
// is looked at rather than trusted to the metrics.
SIZE drawn_text_size(HFONT font, const std::wstring& text, UINT format);

}  // namespace ui::win32
