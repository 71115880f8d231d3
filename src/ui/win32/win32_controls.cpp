// The controls on a form's window: bitmap buttons and labels, both drawn by
// the form, their fonts and tooltips, and the context menu of its picture.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/win32_form_window.h"

namespace ui::win32 {
namespace {

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL
constexpr int kFirstMenuId = 1000;
constexpr int kGlyphGap = 4;
// One line of text in a label's font, as a label measures and draws it.
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_LEFT | DT_TOP | DT_EXPANDTABS;

}  // namespace

HFONT FormWindow::make_font(const Font& font) {
  const bool bold = font.style == FontStyle::Bold || font.style == FontStyle::BoldItalic;
  const bool italic = font.style == FontStyle::Italic || font.style == FontStyle::BoldItalic;
  // A negative height asks for the character height, without internal leading.
  HFONT handle = CreateFontW(-font.pixel_height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                             widen(font.family).c_str());
  fonts_.push_back(handle);
  return handle;
}

void FormWindow::build_controls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  int next_id = kFirstControlId;
  for (Control* control : form_.creation_order()) {
    const ControlProps& props = control->props();
    NativeControl native;
    native.model = control;
    native.id = next_id++;
    native.text = widen(props.caption);
    native.tooltip = widen(props.tooltip);
    const Font font = props.font.value_or(form_.props().font);
    native.text_color = to_colorref(font.color);
    const Rect& r = props.bounds;
    const DWORD visible = control->visible() ? WS_VISIBLE : 0;
    if (props.kind == ControlKind::BitButton) {
      native.font = make_font(font);
      if (std::optional<Image> glyph = load_picture(props.picture)) {
        native.glyph = over(*glyph, to_colorref(kButtonFace));
      }
      native.window = CreateWindowExW(
          0, L"BUTTON", native.text.c_str(),
          WS_CHILD | visible | BS_OWNERDRAW | (props.tab_order >= 0 ? WS_TABSTOP : 0), r.left,
          r.top, r.width, r.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(native.id)),
          instance, nullptr);
    } else if (props.kind == ControlKind::Label) {
      native.font = props.font ? make_font(font) : window_font_;
      // Drawn by the form, with the same call that measured it, so that
      // the label is exactly as wide as the text it shows.
      native.window = CreateWindowExW(0, L"STATIC", native.text.c_str(),
                                      WS_CHILD | visible | SS_OWNERDRAW, r.left, r.top, 1, 1,
                                      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(native.id)),
                                      instance, nullptr);
    } else if (props.kind == ControlKind::Image) {
      picture_ = load_picture(props.picture);
      picture_control_ = control;
    }
    if (native.window) SendMessageW(native.window, WM_SETFONT, reinterpret_cast<WPARAM>(native.font), FALSE);
    if (props.kind == ControlKind::Label) size_to_text(native);
    controls_.push_back(std::move(native));
  }
  add_tooltips();
}

// Sizes a label to its whole text as it is drawn in the label's own font.
void FormWindow::size_to_text(const NativeControl& label) {
  const SIZE size = drawn_text_size(label.font, label.text, kLabelFormat);
  SetWindowPos(label.window, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::draw_label(const DRAWITEMSTRUCT& item) {
  const NativeControl* label = find(item.hwndItem);
  if (!label) return;
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, label->font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label->text_color);
  DrawTextW(dc, label->text.c_str(), -1, &area, kLabelFormat);
  SelectObject(dc, old);
}

void FormWindow::draw_button(const DRAWITEMSTRUCT& item) {
  NativeControl* native = find(item.hwndItem);
  if (!native) return;
  HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  HGDIOBJ old_font = SelectObject(dc, native->font);
  RECT text{0, 0, 0, 0};
  DrawTextW(dc, native->text.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
  const int glyph_width = native->glyph ? native->glyph->width : 0;
  const int gap = native->glyph && !native->text.empty() ? kGlyphGap : 0;
  const int shift = pushed ? 1 : 0;
  int left = face.left + (face.right - face.left - glyph_width - gap - text.right) / 2 + shift;
  if (native->glyph) {
    native->glyph->draw(dc, left, face.top + (face.bottom - face.top - native->glyph->height) / 2 + shift);
    left += glyph_width + gap;
  }
  RECT place{left, face.top + shift, left + text.right, face.bottom + shift};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, native->text_color);
  DrawTextW(dc, native->text.c_str(), -1, &place, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  SelectObject(dc, old_font);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = face;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

void FormWindow::add_tooltips() {
  for (NativeControl& native : controls_) {
    if (!native.window || native.tooltip.empty()) continue;
    if (!tooltips_) {
      tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(native.window);
    tool.lpszText = native.tooltip.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// A right click where the picture shows (not on a button) opens its menu.
void FormWindow::open_popup_menu(POINT screen) {
  if (!picture_control_) return;
  const PopupMenu* menu = form_.find_menu(picture_control_->props().popup_menu);
  if (!menu) return;
  POINT client = screen;
  ScreenToClient(window_, &client);
  HWND hit = ChildWindowFromPointEx(window_, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  if (hit && hit != window_) return;
  HMENU popup = CreatePopupMenu();
  for (std::size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& item = menu->items[i];
    if (item.is_separator()) {
      AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(popup, MF_STRING, kFirstMenuId + i, widen(item.props.caption).c_str());
    }
  }
  const int picked = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                    screen.x, screen.y, 0, window_, nullptr);
  DestroyMenu(popup);
  if (picked >= kFirstMenuId && picked - kFirstMenuId < static_cast<int>(menu->items.size())) {
    form_.choose(menu->items[static_cast<std::size_t>(picked - kFirstMenuId)]);
  }
}

}  // namespace ui::win32
