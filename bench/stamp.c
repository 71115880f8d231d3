/* A stand-in installer for benchmarks: writes the CLOCK_MONOTONIC time at
 * which it runs, in nanoseconds, into "stamp" in its working folder. */
#include <stdio.h>
#include <time.h>

int main(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  FILE* f = fopen("stamp.tmp", "w");
  if (!f) return 1;
  fprintf(f, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
  fclose(f);
  return rename("stamp.tmp", "stamp") == 0 ? 0 : 1;
}
