// Declarative window layouts. A form class describes itself as a constant
// table: the window's properties, its controls back to front and its popup
// menus, each bound to the form's own members and handler methods, so the
// compiler checks every name a layout mentions.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "ui/types.h"

namespace ui {

class Control;

enum class ControlKind : std::uint8_t {
  Page,       // a page container filling the client area
  Image,      // a picture stretched to the control's size
  BitButton,  // a push button with a glyph left of its caption
  Label,      // a line of text, sized to it
};

struct ControlProps {
  ControlKind kind = ControlKind::Label;
  std::string_view name;
  Rect bounds{};
  bool fills_client = false;    // follows the client area's size
  std::string_view caption;     // '&' marks the Alt accelerator
  std::optional<Font> font;     // none: the form's font
  Picture picture = Picture::Empty;
  std::string_view tooltip;
  int tab_order = -1;           // -1: takes no keyboard focus
  bool is_default = false;      // Enter clicks it wherever the focus is
  std::string_view popup_menu;  // the form's menu that a right click opens
};

struct MenuItemProps {
  std::string_view name;
  std::string_view caption;  // "-" is a separator line
};

struct FormProps {
  std::string_view name;
  std::string_view caption;
  BorderStyle border = BorderStyle::SizeableToolWindow;
  Size outer_size{};   // including the frame, as designed on Windows
  Size client_size{};  // the client area at the design's metrics
  Position position = Position::ScreenCenter;
  Color color = kButtonFace;
  Font font{};
  Picture icon = Picture::Empty;
  bool stays_on_top = false;
  std::string_view active_control;  // focused on opening; empty: first in tab order
};

template <class F>
using Handler = void (F::*)();

template <class F>
struct ControlLayout {
  ControlProps props;
  Control* F::*field = nullptr;  // the form member that refers to the control
  Handler<F> on_click = nullptr;
};

template <class F>
struct MenuItemLayout {
  MenuItemProps props;
  Handler<F> on_click = nullptr;
};

template <class F>
struct PopupMenuLayout {
  std::string_view name;
  std::span<const MenuItemLayout<F>> items;
};

template <class F>
struct FormLayout {
  FormProps props;
  Handler<F> on_create = nullptr;
  Handler<F> on_show = nullptr;
  std::span<const ControlLayout<F>> controls;
  std::span<const PopupMenuLayout<F>> menus;
};

}  // namespace ui
