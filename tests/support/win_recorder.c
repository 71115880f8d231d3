/* A launch target for the Windows tests: writes its working folder and its
 * command line, in UTF-8, into a new file "started-<process id>.txt" in that
 * folder. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  wchar_t folder[MAX_PATH * 4];
  wchar_t name[64];
  char utf8[MAX_PATH * 16];
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
  if (length == 0 || length >= MAX_PATH * 4) return 2;
  swprintf(name, 64, L"started-%lu.txt", (unsigned long)GetCurrentProcessId());
  FILE* out = _wfopen(name, L"wb");
  if (!out) return 3;
  WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, NULL, NULL);
  fprintf(out, "cwd=%s\n", utf8);
  WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, utf8, sizeof utf8, NULL, NULL);
  fprintf(out, "command=%s\n", utf8);
  fclose(out);
  return 0;
}
