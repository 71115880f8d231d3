/* Describes a top-level window as Windows sees it, for the tests that drive
 * the program under Wine: win_probe TITLE
 *   window <client-left> <client-top> <client-width> <client-height>
 *          outer=<left>,<top>,<width>,<height> visible=<0|1> enabled=<0|1> topmost=<0|1>
 *          toolwindow=<0|1> focus=<text of the focused control>
 *   child <visible> <left> <top> <width> <height> <text-width> <text>   (one per control)
 * Coordinates are on the screen for the window, in its client area for the
 * children; <text-width> is the width of the control's text in the
 * control's own font. Exits 1 when no such window exists.
 *
 * win_probe --ink FAMILY PIXEL-HEIGHT regular|bolditalic TEXT prints how
 * far the ink of TEXT reaches when drawn in that font from x = 0: what a
 * control showing the whole text must show. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

static int ink_width(const char* family, int height, int bold_italic, const char* text) {
  wchar_t face[64], wide[256];
  MultiByteToWideChar(CP_UTF8, 0, family, -1, face, 64);
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 256);
  HDC dc = CreateCompatibleDC(NULL);
  HFONT font = CreateFontW(-height, 0, 0, 0, bold_italic ? FW_BOLD : FW_NORMAL, bold_italic, FALSE,
                           FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, face);
  SelectObject(dc, font);
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 600, -60, 1, 32, BI_RGB, 0, 0, 0, 0, 0}};
  void* bits;
  HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  SelectObject(dc, canvas);
  PatBlt(dc, 0, 0, 600, 60, WHITENESS);
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 0, 0, wide, lstrlenW(wide));
  GdiFlush();
  int right = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 600; ++x) {
      if ((((unsigned*)bits)[y * 600 + x] & 0xFFFFFF) != 0xFFFFFF && x + 1 > right) right = x + 1;
    }
  }
  return right;
}

int main(int argc, char** argv) {
  wchar_t title[256];
  if (argc == 6 && strcmp(argv[1], "--ink") == 0) {
    printf("%d\n", ink_width(argv[2], atoi(argv[3]), strcmp(argv[4], "bolditalic") == 0, argv[5]));
    return 0;
  }
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
