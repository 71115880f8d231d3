/* A process of the same user that goes for the file a program loads code
   from: it starts COMMAND as its child and, for as long as the child runs,
   looks through the child's open descriptors (/proc/PID/fd) for a memory file
   or an unnamed file, opens each for writing and overwrites it with 0xCC
   bytes (int3: a trap on x86), again and again.
   Usage: module_attacker REPORT COMMAND [ARG...]
   When the child ends, writes "opened=N overwritten=M" to REPORT (N files
   it could open for writing, M writes that changed something) and exits with
   the child's exit code, or 128 + the signal that ended it. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#define MAX_FILES 16

static int is_target(const char* link) {
  const size_t length = strlen(link);
  static const char deleted[] = " (deleted)";
  return strncmp(link, "/memfd:", 7) == 0 ||
         (length > sizeof deleted - 1 &&
          strcmp(link + length - (sizeof deleted - 1), deleted) == 0);
}

int main(int argc, char** argv) {
  static unsigned char traps[1 << 20];
  char seen[MAX_FILES][256];
  int files[MAX_FILES];
  int opened = 0;
  long overwritten = 0;
  int status = 0;
  char fd_folder[64];
  pid_t child;
  FILE* report;
  if (argc < 3) {
    fprintf(stderr, "usage: %s REPORT COMMAND [ARG...]\n", argv[0]);
    return 2;
  }
  memset(traps, 0xCC, sizeof traps);
  child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  snprintf(fd_folder, sizeof fd_folder, "/proc/%d/fd", (int)child);
  while (waitpid(child, &status, WNOHANG) == 0) {
    DIR* dir = opendir(fd_folder);
    struct dirent* entry;
    int i;
    while (dir && (entry = readdir(dir))) {
      char path[384], link[256];
      ssize_t n;
      int j, known = 0;
      if (entry->d_name[0] == '.') continue;
      snprintf(path, sizeof path, "%s/%s", fd_folder, entry->d_name);
      n = readlink(path, link, sizeof link - 1);
      if (n <= 0) continue;
      link[n] = '\0';
      if (!is_target(link)) continue;

      for (j = 0; j < opened; ++j) known |= strcmp(seen[j], entry->d_name) == 0;
      if (known || opened == MAX_FILES) continue;
      files[opened] = open(path, O_WRONLY | O_CLOEXEC);
      if (files[opened] < 0) continue;
      snprintf(seen[opened], sizeof seen[opened], "%s", entry->d_name);
      ++opened;
    }
    if (dir) closedir(dir);
    for (i = 0; i < opened; ++i) {
      struct stat st;
      if (fstat(files[i], &st) != 0 || st.st_size == 0) continue;
      if (pwrite(files[i], traps,
                 (size_t)st.st_size < sizeof traps ? (size_t)st.st_size : sizeof traps, 0) > 0) {
        ++overwritten;
      }
    }
  }
  report = fopen(argv[1], "w");
  if (report) {
    fprintf(report, "opened=%d overwritten=%ld\n", opened, overwritten);
    fclose(report);
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
