/* Runs a command with some system calls refused, as a host's seccomp policy
   or an old kernel would refuse them.
   Usage: seccomp_run ENOSYS|EPERM SYSCALL[,SYSCALL...] COMMAND [ARG...]
   SYSCALL: memfd_create, close_range. Exit code 125 when the filter cannot
   be installed (the caller should skip, loudly). */
#define _GNU_SOURCE
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "seccomp_filter.h"

static int syscall_number(const char* name) {
  if (strcmp(name, "memfd_create") == 0) return __NR_memfd_create;
  if (strcmp(name, "close_range") == 0) return __NR_close_range;
  return -1;
}

int main(int argc, char** argv) {
  int numbers[CDSTART_MAX_REFUSED];
  int count = 0;
  int error;
  char names[256];
  char* name;
  char* rest;
  if (argc < 4) {
    fprintf(stderr, "usage: %s ENOSYS|EPERM SYSCALL[,SYSCALL] COMMAND [ARG...]\n", argv[0]);
    return 2;
  }
  if (strcmp(argv[1], "ENOSYS") == 0) {
    error = ENOSYS;
  } else if (strcmp(argv[1], "EPERM") == 0) {
    error = EPERM;
  } else {
    fprintf(stderr, "seccomp_run: unknown error %s\n", argv[1]);
    return 2;
  }
  snprintf(names, sizeof names, "%s", argv[2]);
  for (name = strtok_r(names, ",", &rest); name; name = strtok_r(NULL, ",", &rest)) {
    if (count == CDSTART_MAX_REFUSED || (numbers[count] = syscall_number(name)) < 0) {
      fprintf(stderr, "seccomp_run: unknown system call %s\n", name);
      return 2;
    }
    ++count;
  }
  if (refuse_system_calls(numbers, count, error) != 0) {
    perror("seccomp_run: cannot install the filter");
    return 125;
  }
  execv(argv[3], argv + 3);
  perror("seccomp_run: exec");
  return 127;
}
