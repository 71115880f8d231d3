// The vocabulary of window layouts: geometry, colours, fonts, cursors and the
// pictures the program carries. Plain values, all usable in constant tables.
#pragma once

#include <cstdint>
#include <string_view>

namespace ui {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Size&, const Size&) = default;
};

// A colour is either a fixed RGB value or one of the system's own colours,
// which the backend looks up.
struct Color {
  enum class Kind : std::uint8_t { Rgb, ButtonFace, WindowText };
  Kind kind = Kind::Rgb;
  std::uint32_t rgb = 0;  // 0xRRGGBB when kind is Rgb

  static constexpr Color from_rgb(std::uint32_t value) { return {Kind::Rgb, value}; }
  friend constexpr bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kButtonFace{Color::Kind::ButtonFace, 0};
inline constexpr Color kWindowText{Color::Kind::WindowText, 0};
inline constexpr Color kBlack = Color::from_rgb(0x000000);
inline constexpr Color kRed = Color::from_rgb(0xFF0000);

enum class FontStyle : std::uint8_t { Regular, Bold, Italic, BoldItalic };

// Fonts are given by character height in pixels (without internal leading),
// never scaled with the display's text size.
struct Font {
  std::string_view family;
  int pixel_height = 11;
  FontStyle style = FontStyle::Regular;
  Color color = kWindowText;
  friend constexpr bool operator==(const Font&, const Font&) = default;
};

enum class Cursor : std::uint8_t {
  Default,
  AppStarting,  // an arrow with a small hourglass: something is being started
};

enum class BorderStyle : std::uint8_t {
  SizeableToolWindow,  // narrow title bar with a close box only, resizable
  ToolWindow,          // the same, fixed size
};

enum class Position : std::uint8_t { ScreenCenter };

// The pictures built into the program.
enum class Picture : std::uint8_t {
  Empty,
  Background,      // the start page's picture (JPEG)
  GlyphProgram,    // hard disk with a green plus
  GlyphNetwork,    // hard disk with a network plug and a green plus
  GlyphManual,     // blue book with a green bookmark
  GlyphBrochure,   // document window with a blue information badge
  GlyphAbort,      // the standard Abort button's red cross
  GlyphOk,         // the standard OK button's green tick
  ProgramIcon,     // a CD disc
};

}  // namespace ui
