// The FLTK widgets behind the model's controls.
#pragma once

#include <FL/Fl_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Widget.H>

#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/picture/image.h"

namespace ui::fltk {

Fl_Color to_fl_color(Color color);
Fl_Font to_fl_font(std::string_view family, FontStyle style);

// Pixels that an Fl_RGB_Image shows; the image does not copy them.
class PixelImage {
 public:
  explicit PixelImage(Image image);
  Fl_RGB_Image& fl() { return *fl_; }

 private:
  Image image_;
  std::unique_ptr<Fl_RGB_Image> fl_;
};

// A picture stretched to the widget's size. A right click opens the
// control's popup menu, if it has one; nothing else reacts.
class PictureWidget final : public Fl_Widget {
 public:
  PictureWidget(Control& control, std::optional<Image> picture);
  void draw() override;
  int handle(int event) override;

 private:
  void open_popup_menu();

  Control& control_;
  std::optional<Image> picture_;
  Image stretched_;
};

// A push button drawn as a bitmap button: its glyph left of its caption, the
// two centred together, 4 pixels apart. Left clicks, Space and Enter while
// focused, its '&' accelerator, and Enter anywhere when it is the default
// button all click it.
class BitButtonWidget final : public Fl_Button {
 public:
  BitButtonWidget(Control& control, const Font& font, std::unique_ptr<PixelImage> glyph);
  void draw() override;
  int handle(int event) override;

 private:
  Control& control_;
  std::string caption_;
  std::string tooltip_;
  std::unique_ptr<PixelImage> glyph_;
};

}  // namespace ui::fltk
