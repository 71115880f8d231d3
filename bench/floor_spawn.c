/* The floor for direct mode: the least a program can do to start the
 * installer the way cdstart does (its own session, from its folder, exec
 * success reported back through a close-on-exec pipe) and end.
 * Usage: floor_spawn FOLDER PROGRAM */
#define _GNU_SOURCE
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return 1;
  pid_t middle = fork();
  if (middle == 0) {
    if (fork() == 0) {
      setsid();
      if (chdir(argv[1]) == 0) {
        char* args[] = {argv[2], 0};
        execv(argv[2], args);
      }
      int error = 1;
      (void)!write(report[1], &error, sizeof error);
      _exit(127);
    }
    _exit(0);
  }
  close(report[1]);
  waitpid(middle, 0, 0);
  int error = 0;
  return read(report[0], &error, sizeof error) == 0 ? 0 : 1;
}
