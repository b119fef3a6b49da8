// The Linux start-up benchmark's probe: starts two programs alternately (ABBA, after one unmeasured start of
// each) on the display, times each from its start to the first poll that sees the link colour at the first
// and the last link's place inside a 640 x 480 window, and reads its peak resident set (VmHWM) a moment
// after. Each poll grabs two 64 x 32 rectangles every 2 ms.
//
//   gtk_probe RUNS SETTLE_MS PROGRAM_A PROGRAM_B
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/layout.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A shown top-level window of the picture's size, wherever the program put it.
bool FindMenu(Display* display, int* x, int* y) {
  Window root = DefaultRootWindow(display), parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable && a.width == 640 &&
        a.height == 480) {
      *x = a.x;
      *y = a.y;
      found = true;
    }
  }
  if (children) XFree(children);
  return found;
}

bool LinkColourAt(Display* display, int x, int y) {
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 64, 32, AllPlanes, ZPixmap);
  if (!image) return false;
  bool seen = false;
  const unsigned long want =
      ((kBenchLinkColour & 0xFF) << 16) | (kBenchLinkColour & 0xFF00) | ((kBenchLinkColour >> 16) & 0xFF);
  for (int j = 0; j < 32 && !seen; ++j)
    for (int i = 0; i < 64 && !seen; ++i)
      seen = (XGetPixel(image, i, j) & 0xFFFFFF) == want;
  XDestroyImage(image);
  return seen;
}

long PeakKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
  return -1;
}

struct Run {
  double ms;
  long kib;
};

Run Once(Display* display, const char* program, int settleMs) {
  char* argv[] = {const_cast<char*>(program), nullptr};
  auto start = Clock::now();
  pid_t pid;
  if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) return {-1, -1};
  Run run{-1, -1};
  while (Clock::now() - start < std::chrono::seconds(30)) {
    int x, y;
    if (FindMenu(display, &x, &y) &&
        LinkColourAt(display, x + BenchLinkLeft(0) / 15, y + BenchLinkTop(0) / 15) &&
        LinkColourAt(display, x + BenchLinkLeft(kBenchLinks - 1) / 15,
                     y + BenchLinkTop(kBenchLinks - 1) / 15)) {
      run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  run.kib = PeakKib(pid);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  XSync(display, False);
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: gtk_probe RUNS SETTLE_MS PROGRAM_A PROGRAM_B\n");
    return 2;
  }
  int runs = std::atoi(argv[1]), settle = std::atoi(argv[2]);
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  const char* programs[2] = {argv[3], argv[4]};
  Once(display, programs[0], settle);
  Once(display, programs[1], settle);
  std::vector<double> ms[2], kib[2];
  for (int i = 0; i < runs; ++i) {
    for (int k = 0; k < 2; ++k) {
      int which = (i % 2 == 0) ? k : 1 - k;  // A B, then B A
      Run run = Once(display, programs[which], settle);
      if (run.ms < 0) {
        std::fprintf(stderr, "%s did not paint its menu within 30 s\n", programs[which]);
        return 1;
      }
      ms[which].push_back(run.ms);
      kib[which].push_back(static_cast<double>(run.kib));
    }
  }
  for (int k = 0; k < 2; ++k)
    std::printf("%-40s time to painted %.0f ms, peak resident %.1f MiB (medians of %d)\n", programs[k],
                Median(ms[k]), Median(kib[k]) / 1024, runs);
  std::printf("ratio: time %.2fx, peak memory %.2fx\n", Median(ms[0]) / Median(ms[1]),
              Median(kib[0]) / Median(kib[1]));
  XCloseDisplay(display);
  return 0;
}
