/* Times a program's first window on an X server (without a window manager).
 *
 *   x_probe [--expect X Y RRGGBB]... [--click X Y --stamp FILE] -- COMMAND...
 *
 * Starts COMMAND and prints, in microseconds from the exec:
 *   mapped=   when its first top-level window was mapped
 *   painted=  when every --expect pixel of that window shows its colour
 *   hwm_kb=   the program's peak resident memory by then
 * With --click it then presses the left button at X Y in the window and
 * prints click_to_start=, the time until the program that the click starts
 * has written its CLOCK_MONOTONIC nanoseconds into FILE (see stamp.c).
 * The program is killed at the end. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long now_ns(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static long hwm_kb(pid_t pid) {
  char path[64], line[256];
  long kb = -1;
  snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
  FILE* f = fopen(path, "r");
  if (!f) return -1;
  while (fgets(line, sizeof line, f)) {
    if (strncmp(line, "VmHWM:", 6) == 0) kb = atol(line + 6);
  }
  fclose(f);
  return kb;
}

static int fail(const char* why) {
  fprintf(stderr, "x_probe: %s\n", why);
  return 1;
}

int main(int argc, char** argv) {
  int expect_x[8], expect_y[8], n_expect = 0, click_x = -1, click_y = -1, i;
  unsigned long expect_rgb[8];
  const char* stamp = NULL;
  for (i = 1; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    if (strcmp(argv[i], "--expect") == 0 && i + 3 < argc && n_expect < 8) {
      expect_x[n_expect] = atoi(argv[++i]);
      expect_y[n_expect] = atoi(argv[++i]);
      expect_rgb[n_expect++] = strtoul(argv[++i], NULL, 16);
    } else if (strcmp(argv[i], "--click") == 0 && i + 2 < argc) {
      click_x = atoi(argv[++i]);
      click_y = atoi(argv[++i]);
    } else if (strcmp(argv[i], "--stamp") == 0 && i + 1 < argc) {
      stamp = argv[++i];
    } else {
      return fail("bad arguments");
    }
  }
  if (i + 1 >= argc) return fail("no command");
  char** command = argv + i + 1;

  Display* display = XOpenDisplay(NULL);
  if (!display) return fail("no display");
  Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);
  if (stamp) unlink(stamp);

  long long start = now_ns();
  pid_t pid = fork();
  if (pid == 0) {
    execv(command[0], command);
    _exit(127);
  }
  Window window = 0;
  while (!window) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect) window = event.xmap.window;
  }
  long long mapped = now_ns();

  for (int painted = 0; !painted;) {
    painted = 1;
    for (int e = 0; e < n_expect && painted; ++e) {
      XImage* image = XGetImage(display, window, expect_x[e], expect_y[e], 1, 1, AllPlanes, ZPixmap);
      if (!image) return fail("cannot read the window");
      painted = (XGetPixel(image, 0, 0) & 0xFFFFFF) == expect_rgb[e];
      XDestroyImage(image);
    }
  }
  long long painted_at = now_ns();
  printf("mapped=%lld painted=%lld hwm_kb=%ld", (mapped - start) / 1000,
         (painted_at - start) / 1000, hwm_kb(pid));

  if (click_x >= 0 && stamp) {
    XWindowAttributes attributes;
    Window child;
    int rx, ry;
    XGetWindowAttributes(display, window, &attributes);
    XTranslateCoordinates(display, window, root, click_x, click_y, &rx, &ry, &child);
    XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
    XSync(display, False);
    usleep(20000);
    long long clicked = now_ns();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    long long started = 0;
    for (int tries = 0; tries < 200000 && !started; ++tries) {
      FILE* f = fopen(stamp, "r");
      if (f) {
        if (fscanf(f, "%lld", &started) != 1) started = 0;
        fclose(f);
      }
      if (!started) usleep(50);
    }
    printf(" click_to_start=%lld", started ? (started - clicked) / 1000 : -1);
  }
  printf("\n");
  kill(pid, SIGTERM);
  waitpid(pid, NULL, 0);
  XCloseDisplay(display);
  return 0;
}
