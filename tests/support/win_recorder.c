/* A launch target for the Windows tests: writes its working folder and its
 * command line into a new file "started-<process id>.txt" in that folder. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  char folder[MAX_PATH * 4];
  char name[64];
  DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return 2;
  snprintf(name, sizeof name, "started-%lu.txt", (unsigned long)GetCurrentProcessId());
  FILE* out = fopen(name, "wb");
  if (!out) return 3;
  fprintf(out, "cwd=%s\ncommand=%s\n", folder, GetCommandLineA());
  fclose(out);
  return 0;
}
