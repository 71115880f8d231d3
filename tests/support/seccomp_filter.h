/* A seccomp filter for tests: the named system calls fail with an error of
   our choosing, as on a host whose policy or kernel refuses them. C, for the
   command-line helper, and C++, for tests that filter a child of their own. */
#ifndef CDSTART_TESTS_SECCOMP_FILTER_H
#define CDSTART_TESTS_SECCOMP_FILTER_H

#include <errno.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#define CDSTART_MAX_REFUSED 8

/* Makes each of the `count` system calls in `numbers` fail with `error` in
   this process and every process it starts. 0 on success, else -1 and errno. */
static inline int refuse_system_calls(const int* numbers, int count, int error) {
  struct sock_filter program[4 + 2 * CDSTART_MAX_REFUSED + 1];
  int n = 0;
  int i;
  if (count < 0 || count > CDSTART_MAX_REFUSED) {
    errno = EINVAL;
    return -1;
  }
  program[n++] =
      (struct sock_filter)BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, arch));
  program[n++] = (struct sock_filter)BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0);
  program[n++] = (struct sock_filter)BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
  program[n++] =
      (struct sock_filter)BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr));
  for (i = 0; i < count; ++i) {
    program[n++] =
        (struct sock_filter)BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, (unsigned)numbers[i], 0, 1);
    program[n++] = (struct sock_filter)BPF_STMT(
        BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ((unsigned)error & SECCOMP_RET_DATA));
  }
  program[n++] = (struct sock_filter)BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
  {
    struct sock_fprog filter = {(unsigned short)n, program};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return -1;
    return prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter, 0, 0);
  }
}

#endif
