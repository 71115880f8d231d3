// The native window of one form: the page and picture drawn by the form
// itself, bitmap buttons drawn by their owner, labels as static controls,
// tooltips, the context menu, and the dialog keys of the dialog manager.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/picture/image.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/win32_painting.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"CdstartForm";
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL
constexpr int kFirstMenuId = 1000;
constexpr int kGlyphGap = 4;

struct NativeControl {
  Control* model = nullptr;
  HWND window = nullptr;  // none for the page and the picture, which the form draws
  int id = 0;
  std::wstring text;
  std::wstring tooltip;
  HFONT font = nullptr;
  COLORREF text_color = 0;
  std::optional<Bitmap> glyph;
};

class FormWindow final : public FormPeer {
 public:
  FormWindow(Win32Backend& backend, Form& form) : backend_(backend), form_(form) {
    register_class();
    const FormProps& props = form.props();
    const bool sizeable = props.border == BorderStyle::SizeableToolWindow;
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (sizeable ? WS_THICKFRAME : 0);
    const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT |
                           (props.stays_on_top ? WS_EX_TOPMOST : 0) |
                           (sizeable ? 0 : WS_EX_DLGMODALFRAME);
    RECT outer{0, 0, props.outer_size.width, props.outer_size.height};
    if (outer.right == 0) {
      outer = RECT{0, 0, props.client_size.width, props.client_size.height};
      AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    }
    window_ = CreateWindowExW(ex_style, kFormClass, widen(props.caption).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                              outer.bottom - outer.top, backend.application_window(), nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_) throw DisplayUnavailable("cannot create a window");
    backend_.add_form(window_);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (props.icon != Picture::Empty) {
      SendMessageW(window_, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(1))));
    }
    window_font_ = make_font(props.font);
    build_controls();
  }

  ~FormWindow() override {
    backend_.remove_form(window_);
    DestroyWindow(window_);
    for (HFONT font : fonts_) DeleteObject(font);
  }

  // FormPeer
  void show() override {
    if (!placed_) {
      placed_ = true;
      centre_on_screen();
    }
    if (backend_.main_form() == window_) backend_.show_application_window();
    focus_pending_ = true;
    ShowWindow(window_, SW_SHOWNORMAL);
    take_initial_focus();
  }
  void hide() override { ShowWindow(window_, SW_HIDE); }
  void bring_to_front() override {
    BringWindowToTop(window_);
    SetForegroundWindow(window_);
  }
  void set_enabled(bool enabled) override { EnableWindow(window_, enabled); }
  void control_changed(const Control& control) override {
    for (NativeControl& native : controls_) {
      if (native.model == &control && native.window) {
        ShowWindow(native.window, control.visible() ? SW_SHOWNA : SW_HIDE);
      }
    }
    InvalidateRect(window_, nullptr, FALSE);
  }
  core::WindowHandle handle() const override {
    return reinterpret_cast<core::WindowHandle>(window_);
  }

 private:
  static void register_class() {
    static const bool registered = [] {
      WNDCLASSEXW klass{};
      klass.cbSize = sizeof klass;
      klass.lpfnWndProc = procedure;
      klass.hInstance = GetModuleHandleW(nullptr);
      klass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      klass.lpszClassName = kFormClass;
      return RegisterClassExW(&klass) != 0;
    }();
    (void)registered;
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    return self->handle_message(message, wparam, lparam);
  }

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        paint();
        return 0;
      case WM_SIZE:
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
      case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (item.CtlType == ODT_STATIC) {
          draw_label(item);
        } else {
          draw_button(item);
        }
        return TRUE;
      }
      case WM_COMMAND:
        on_command(LOWORD(wparam), HIWORD(wparam));
        return 0;
      case DM_GETDEFID:
        for (const NativeControl& native : controls_) {
          if (native.model->props().is_default) return MAKELRESULT(native.id, DC_HASDEFID);
        }
        return 0;
      case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wparam) == window_ && lparam != -1) {
          open_popup_menu(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        }
        return 0;
      case WM_SETCURSOR:
        if (HCURSOR cursor = backend_.cursor()) {
          SetCursor(cursor);
          return TRUE;
        }
        break;
      case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus && IsChild(window_, focus)) saved_focus_ = focus;
        } else {
          take_initial_focus();
          return 0;
        }
        break;
      case WM_CLOSE:
        // The close box; a form hides rather than being destroyed, and one
        // that a modal form has disabled does not close.
        if (IsWindowEnabled(window_)) form_.close_requested();
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
  }

  void on_command(int id, int code) {
    if (id == IDCANCEL) return;  // Escape: there is no cancel button
    if (id == IDOK) {
      // Enter without a default button clicks the focused button.
      if (NativeControl* focused = find(GetFocus())) focused->model->click();
      return;
    }
    if (code != BN_CLICKED) return;
    for (NativeControl& native : controls_) {
      if (native.id == id && native.model->visible()) {
        native.model->click();
        return;
      }
    }
  }

  void take_initial_focus() {
    if (!IsWindowVisible(window_)) return;
    HWND target = focus_pending_ ? initial_focus() : saved_focus_;
    focus_pending_ = false;
    if (target && IsWindowVisible(target)) SetFocus(target);
  }

  HWND initial_focus() const {
    const Control* wanted = form_.initial_focus();
    for (const NativeControl& native : controls_) {
      if (native.model == wanted) return native.window;
    }
    return nullptr;
  }

  void centre_on_screen() {
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame;
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HFONT make_font(const Font& font) {
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

  void build_controls() {
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

  // One line of text in a label's font, as a label measures and draws it.
  static constexpr UINT kLabelFormat = DT_SINGLELINE | DT_LEFT | DT_TOP | DT_EXPANDTABS;

  // Sizes a label to its whole text as it is drawn in the label's own font.
  static void size_to_text(const NativeControl& label) {
    const SIZE size = drawn_text_size(label.font, label.text, kLabelFormat);
    SetWindowPos(label.window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void draw_label(const DRAWITEMSTRUCT& item) {
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

  void add_tooltips() {
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

  NativeControl* find(HWND window) {
    if (!window) return nullptr;
    for (NativeControl& native : controls_) {
      if (native.window == window) return &native;
    }
    return nullptr;
  }

  void paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    if (picture_ && client.right > 0 && client.bottom > 0) {
      if (!stretched_ || stretched_->width != client.right || stretched_->height != client.bottom) {
        stretched_ = over(scaled(*picture_, client.right, client.bottom), to_colorref(kButtonFace));
      }
      stretched_->draw(dc, 0, 0);
    } else {
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(window_, &paint);
  }

  void draw_button(const DRAWITEMSTRUCT& item) {
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

  // A right click where the picture shows (not on a button) opens its menu.
  void open_popup_menu(POINT screen) {
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

  Win32Backend& backend_;
  Form& form_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  HWND saved_focus_ = nullptr;
  HFONT window_font_ = nullptr;
  std::vector<HFONT> fonts_;
  std::vector<NativeControl> controls_;
  std::optional<Image> picture_;
  std::optional<Bitmap> stretched_;
  Control* picture_control_ = nullptr;
  bool placed_ = false;
  bool focus_pending_ = false;
};

}  // namespace

std::unique_ptr<FormPeer> make_form_window(Win32Backend& backend, Form& form) {
  return std::make_unique<FormWindow>(backend, form);
}

}  // namespace ui::win32
