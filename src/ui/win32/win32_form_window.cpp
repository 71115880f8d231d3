// The window of one form: its creation, its messages, its focus and place,
// and the picture it paints behind its controls.
#include "ui/win32/win32_form_window.h"

#include <windowsx.h>

namespace ui::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"CdstartForm";

}  // namespace

FormWindow::FormWindow(Win32Backend& backend, Form& form) : backend_(backend), form_(form) {
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

FormWindow::~FormWindow() {
  backend_.remove_form(window_);
  DestroyWindow(window_);
  for (HFONT font : fonts_) DeleteObject(font);
}

void FormWindow::show() {
  if (!placed_) {
    placed_ = true;
    centre_on_screen();
  }
  if (backend_.main_form() == window_) backend_.show_application_window();
  focus_pending_ = true;
  ShowWindow(window_, SW_SHOWNORMAL);
  take_initial_focus();
}

void FormWindow::control_changed(const Control& control) {
  for (NativeControl& native : controls_) {
    if (native.model == &control && native.window) {
      ShowWindow(native.window, control.visible() ? SW_SHOWNA : SW_HIDE);
    }
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void FormWindow::register_class() {
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

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  return self->handle_message(message, wparam, lparam);
}

LRESULT FormWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
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

void FormWindow::on_command(int id, int code) {
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

void FormWindow::take_initial_focus() {
  if (!IsWindowVisible(window_)) return;
  HWND target = focus_pending_ ? initial_focus() : saved_focus_;
  focus_pending_ = false;
  if (target && IsWindowVisible(target)) SetFocus(target);
}

HWND FormWindow::initial_focus() const {
  const Control* wanted = form_.initial_focus();
  for (const NativeControl& native : controls_) {
    if (native.model == wanted) return native.window;
  }
  return nullptr;
}

void FormWindow::centre_on_screen() {
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

void FormWindow::paint() {
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

NativeControl* FormWindow::find(HWND window) {
  if (!window) return nullptr;
  for (NativeControl& native : controls_) {
    if (native.window == window) return &native;
  }
  return nullptr;
}

std::unique_ptr<FormPeer> make_form_window(Win32Backend& backend, Form& form) {
  return std::make_unique<FormWindow>(backend, form);
}

}  // namespace ui::win32
