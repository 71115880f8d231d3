#include "ui/fltk/fltk_widgets.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <map>

#include "ui/application.h"

namespace ui::fltk {
namespace {

constexpr int kGlyphGap = 4;  // between a button's glyph and its caption

std::uint8_t channel(std::uint32_t rgb, int shift) {
  return static_cast<std::uint8_t>(rgb >> shift & 0xFF);
}

std::string without_accelerator_marks(std::string_view caption) {
  std::string text;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    text.push_back(caption[i]);
  }
  return text;
}

}  // namespace

Fl_Color to_fl_color(Color color) {
  switch (color.kind) {
    case Color::Kind::ButtonFace: return fl_rgb_color(0xD4, 0xD0, 0xC8);
    case Color::Kind::WindowText: return FL_BLACK;
    case Color::Kind::Rgb: break;
  }
  return fl_rgb_color(channel(color.rgb, 16), channel(color.rgb, 8), channel(color.rgb, 0));
}

// FLTK's Xft fonts take the style from the first character of the name.
Fl_Font to_fl_font(std::string_view family, FontStyle style) {
  static std::map<std::string, Fl_Font> known;
  static Fl_Font next = FL_FREE_FONT;
  static constexpr char kStylePrefix[] = {' ', 'B', 'I', 'P'};
  std::string name = kStylePrefix[static_cast<int>(style)] + std::string(family);
  auto found = known.find(name);
  if (found != known.end()) return found->second;
  const Fl_Font font = next++;
  auto stored = known.emplace(name, font).first;
  Fl::set_font(font, stored->first.c_str());
  return font;
}

PixelImage::PixelImage(Image image) : image_(std::move(image)) {
  fl_ = std::make_unique<Fl_RGB_Image>(image_.rgba.data(), image_.width, image_.height, 4);
}

PictureWidget::PictureWidget(Control& control, std::optional<Image> picture)
    : Fl_Widget(control.props().bounds.left, control.props().bounds.top,
                control.props().bounds.width, control.props().bounds.height),
      control_(control),
      picture_(std::move(picture)) {}

void PictureWidget::draw() {
  if (!picture_ || w() <= 0 || h() <= 0) return;
  if (stretched_.width != w() || stretched_.height != h()) stretched_ = scaled(*picture_, w(), h());
  // An opaque picture: drawn as RGB, every fourth byte (alpha) skipped.
  fl_draw_image(stretched_.rgba.data(), x(), y(), w(), h(), 4);
}

int PictureWidget::handle(int event) {
  if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
    open_popup_menu();
    return 1;
  }
  return Fl_Widget::handle(event);
}

void PictureWidget::open_popup_menu() {
  const PopupMenu* menu = control_.form().find_menu(control_.props().popup_menu);
  if (!menu) return;
  std::vector<std::string> captions;
  captions.reserve(menu->items.size());
  std::vector<Fl_Menu_Item> items;
  std::vector<const MenuItem*> entries;
  for (const MenuItem& item : menu->items) {
    if (item.is_separator()) {
      if (!items.empty()) items.back().flags |= FL_MENU_DIVIDER;
      continue;
    }
    captions.emplace_back(item.props.caption);
    Fl_Menu_Item entry{};
    entry.text = captions.back().c_str();
    items.push_back(entry);
    entries.push_back(&item);
  }
  items.push_back(Fl_Menu_Item{});
  const Fl_Menu_Item* picked = items.front().popup(Fl::event_x(), Fl::event_y());
  if (!picked) return;
  control_.form().choose(*entries[static_cast<std::size_t>(picked - items.data())]);
}

BitButtonWidget::BitButtonWidget(Control& control, const Font& font,
                                 std::unique_ptr<PixelImage> glyph)
    : Fl_Button(control.props().bounds.left, control.props().bounds.top,
                control.props().bounds.width, control.props().bounds.height),
      control_(control),
      caption_(control.props().caption),
      tooltip_(control.props().tooltip),
      glyph_(std::move(glyph)) {
  label(caption_.c_str());
  if (!tooltip_.empty()) tooltip(tooltip_.c_str());
  labelfont(to_fl_font(font.family, font.style));
  labelsize(font.pixel_height);
  labelcolor(to_fl_color(font.color));
  color(to_fl_color(kButtonFace));
  box(FL_UP_BOX);
  down_box(FL_DOWN_BOX);
  callback([](Fl_Widget*, void* self) { static_cast<BitButtonWidget*>(self)->control_.click(); },
           this);
}

void BitButtonWidget::draw() {
  draw_box(value() ? down_box() : box(), color());
  fl_font(labelfont(), labelsize());
  const int text_width = static_cast<int>(fl_width(without_accelerator_marks(caption_).c_str()));
  const int glyph_width = glyph_ ? glyph_->fl().w() : 0;
  const int gap = glyph_ && !caption_.empty() ? kGlyphGap : 0;
  const int pressed = value() ? 1 : 0;  // the content moves with the pressed face
  int left = x() + (w() - glyph_width - gap - text_width) / 2 + pressed;
  if (glyph_) {
    glyph_->fl().draw(left, y() + (h() - glyph_->fl().h()) / 2 + pressed);
    left += glyph_width + gap;
  }
  draw_label(left, y() + pressed, text_width + 2, h(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  if (Fl::focus() == this) draw_focus(box(), x() + 2, y() + 2, w() - 4, h() - 4);
}

int BitButtonWidget::handle(int event) {
  switch (event) {
    case FL_PUSH:
    case FL_DRAG:
    case FL_RELEASE:
      // Only the left button presses a button.
      if (Fl::event_button() != FL_LEFT_MOUSE) return 1;
      break;
    case FL_KEYBOARD:
      if (Fl::focus() == this &&
          (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
        do_callback();
        return 1;
      }
      break;
    case FL_SHORTCUT:
      if (control_.props().is_default &&
          (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
        do_callback();
        return 1;
      }
      break;
    default:
      break;
  }
  return Fl_Button::handle(event);
}

}  // namespace ui::fltk
