#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/form.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kApplicationClass[] = L"CdstartApplication";

LRESULT CALLBACK application_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* backend = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
                                                   reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
      break;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      // The taskbar button activates this window; hand that on to the forms.
      if (message == WM_SETFOCUS || LOWORD(wparam) != WA_INACTIVE) {
        HWND main = backend ? backend->main_form() : nullptr;
        if (main && IsWindowVisible(main)) {
          HWND target = GetLastActivePopup(main);
          SetForegroundWindow(target ? target : main);
        }
      }
      return 0;
    case WM_CLOSE:
      if (backend && backend->main_form()) PostMessageW(backend->main_form(), WM_CLOSE, 0, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

std::wstring widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

COLORREF to_colorref(Color color) {
  switch (color.kind) {
    case Color::Kind::ButtonFace: return GetSysColor(COLOR_BTNFACE);
    case Color::Kind::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case Color::Kind::Rgb: break;
  }
  return RGB(color.rgb >> 16 & 0xFF, color.rgb >> 8 & 0xFF, color.rgb & 0xFF);
}

HWND Win32Backend::application_window() {
  if (application_) return application_;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW klass{};
  klass.cbSize = sizeof klass;
  klass.lpfnWndProc = application_procedure;
  klass.hInstance = instance;
  klass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  klass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
  klass.lpszClassName = kApplicationClass;
  RegisterClassExW(&klass);
  application_ = CreateWindowExW(0, kApplicationClass, title_.c_str(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                 nullptr, nullptr, instance, this);
  return application_;
}

void Win32Backend::show_application_window() {
  HWND window = application_window();
  if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
}

std::unique_ptr<FormPeer> Win32Backend::realise(Form& form) {
  if (!application_window()) throw DisplayUnavailable("cannot create a window");
  return make_form_window(*this, form);
}

void Win32Backend::dispatch(MSG& message) {
  // Dialog keys (Tab, Enter, Escape, Space, Alt+letter) go through the
  // dialog manager of the form the message is for.
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && std::find(forms_.begin(), forms_.end(), root) != forms_.end() &&
      IsDialogMessageW(root, &message)) {
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool Win32Backend::wait() {
  MSG message;
  if (GetMessageW(&message, nullptr, 0, 0) <= 0) return false;
  dispatch(message);
  return true;
}

void Win32Backend::process_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
}

HCURSOR Win32Backend::cursor() const {
  return cursor_ == Cursor::AppStarting ? LoadCursorW(nullptr, IDC_APPSTARTING) : nullptr;
}

void Win32Backend::set_cursor(Cursor cursor) {
  cursor_ = cursor;
  SetCursor(cursor == Cursor::AppStarting ? LoadCursorW(nullptr, IDC_APPSTARTING)
                                          : LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Backend::set_title(std::string_view title) {
  title_ = widen(title);
  if (application_) SetWindowTextW(application_, title_.c_str());
}

void Win32Backend::show_error(std::string_view title, std::string_view message) {
  MessageBoxW(main_form(), widen(message).c_str(), widen(title).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace ui::win32

namespace ui {

Backend& default_backend() {
  static win32::Win32Backend backend;
  return backend;
}

}  // namespace ui
