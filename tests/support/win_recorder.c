/* A launch target for the Windows tests: writes its working folder, the kind
 * of drive that holds it (GetDriveType: 3 fixed, 5 CD-ROM) and its command
 * line, in UTF-8, into a new file "started-<process id>.txt" in that folder,
 * or, where the folder cannot be written (a CD-ROM), in the folder that the
 * variable CDSTART_RECORDS names. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

int main(void) {
  wchar_t folder[MAX_PATH * 4];
  wchar_t name[MAX_PATH * 4 + 64];
  char utf8[MAX_PATH * 16];
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
  if (length == 0 || length >= MAX_PATH * 4) return 2;
  DWORD records = GetEnvironmentVariableW(L"CDSTART_RECORDS", name, MAX_PATH * 4);
  if (records == 0 || records >= MAX_PATH * 4) records = 0;
  if (records > 0) name[records++] = L'\\';
  swprintf(name + records, 64, L"started-%lu.txt", (unsigned long)GetCurrentProcessId());
  FILE* out = _wfopen(name, L"wb");
  if (!out) return 3;
  WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, NULL, NULL);
  fprintf(out, "cwd=%s\n", utf8);
  fprintf(out, "drive=%u\n", GetDriveTypeW(NULL));
  WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, utf8, sizeof utf8, NULL, NULL);
  fprintf(out, "command=%s\n", utf8);
  fclose(out);
  return 0;
}
