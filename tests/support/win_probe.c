/* Describes a top-level window as Windows sees it, for the tests that drive
 * the program under Wine: win_probe TITLE
 *   window <client-left> <client-top> <client-width> <client-height>
 *          outer=<left>,<top>,<width>,<height> visible=<0|1> enabled=<0|1> topmost=<0|1>
 *          toolwindow=<0|1> focus=<text of the focused control>
 *   child <visible> <left> <top> <width> <height> <text-width> <text>   (one per control)
 * Coordinates are on the screen for the window, in its client area for the
 * children; <text-width> is the width of the control's text in the
 * control's own font. Exits 1 when no such window exists. */
#include <windows.h>
#include <stdio.h>

static HWND target;

static void print_text(HWND window) {
  wchar_t text[256];
  char utf8[1024];
  GetWindowTextW(window, text, 256);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  printf("%s", utf8);
}

/* The width of the control's text, drawn in the font the control was given. */
static long text_width(HWND window) {
  wchar_t text[256];
  SIZE size = {0, 0};
  int length = GetWindowTextW(window, text, 256);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(window, WM_GETFONT, 0, 0));
  GetTextExtentPoint32W(dc, text, length, &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

static BOOL CALLBACK print_child(HWND child, LPARAM unused) {
  RECT r;
  POINT origin = {0, 0};
  (void)unused;
  if (GetParent(child) != target) return TRUE;
  GetWindowRect(child, &r);
  ClientToScreen(target, &origin);
  printf("child %d %ld %ld %ld %ld %ld ", IsWindowVisible(child) ? 1 : 0, r.left - origin.x,
         r.top - origin.y, r.right - r.left, r.bottom - r.top, text_width(child));
  print_text(child);
  printf("\n");
  return TRUE;
}

int main(int argc, char** argv) {
  wchar_t title[256];
  RECT client, outer;
  POINT origin = {0, 0};
  GUITHREADINFO gui;
  if (argc != 2) return 2;
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, title, 256);
  target = FindWindowW(NULL, title);
  if (!target) return 1;
  GetClientRect(target, &client);
  GetWindowRect(target, &outer);
  ClientToScreen(target, &origin);
  LONG_PTR ex = GetWindowLongPtrW(target, GWL_EXSTYLE);
  printf("window %ld %ld %ld %ld outer=%ld,%ld,%ld,%ld visible=%d enabled=%d topmost=%d "
         "toolwindow=%d focus=", origin.x, origin.y, client.right, client.bottom, outer.left,
         outer.top, outer.right - outer.left, outer.bottom - outer.top,
         IsWindowVisible(target) ? 1 : 0,
         IsWindowEnabled(target) ? 1 : 0, (ex & WS_EX_TOPMOST) ? 1 : 0,
         (ex & WS_EX_TOOLWINDOW) ? 1 : 0);
  gui.cbSize = sizeof gui;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(target, NULL), &gui) && gui.hwndFocus &&
      GetParent(gui.hwndFocus) == target) {
    print_text(gui.hwndFocus);
  }
  printf("\n");
  EnumChildWindows(target, print_child, 0);
  return 0;
}
