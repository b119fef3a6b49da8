// Start-up probe: starts each program in turn from inside the same Wine prefix, alternating them, and for
// each run measures the time from CreateProcess to the menu painted (the first and the last link of
// layout.h show their colour on the screen, inside the program's window) and the process's peak working
// set a moment later. Prints one line per run and a summary with the medians. A poll grabs two small
// rectangles of the screen (well under a millisecond), then waits 2 ms.
//
//   probe.exe RUNS SETTLE_MS EXE...     each EXE started from its own folder; "EXE|ARGUMENT" starts it with
//                                       one argument (the designer with its disc)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "layout.h"

namespace {

constexpr int kMinPixels = 8;        // of the link colour in a link's rectangle: its text is drawn
constexpr DWORD kTimeoutMs = 20000;  // a run that shows nothing by then fails

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search {
  DWORD pid;
  HWND found;
};

// The program's visible top-level window that is not a mere dot (the hidden start-up window never shows).
HWND VisibleWindowOf(DWORD pid) {
  Search search{pid, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        RECT r;
        if (owner != s->pid || !IsWindowVisible(hwnd) || !GetClientRect(hwnd, &r) || r.right < 100)
          return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A small screen grab, made once: the rectangle of one link.
class Grab {
 public:
  static constexpr int kWidth = 4 * kBenchLinkPixels, kHeight = 2 * kBenchLinkPixels;
  Grab() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    dib_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
    old_ = SelectObject(memory_, dib_);
  }
  ~Grab() {
    SelectObject(memory_, old_);
    DeleteObject(dib_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  // How many pixels of the link colour the screen shows at link `i` of the window whose client area is at
  // `origin`.
  int LinkPixels(POINT origin, int i) {
    BitBlt(memory_, 0, 0, kWidth, kHeight, screen_, origin.x + BenchLinkLeft(i) / 15,
           origin.y + BenchLinkTop(i) / 15, SRCCOPY);
    GdiFlush();
    const DWORD want =
        ((kBenchLinkColour & 0xFF) << 16) | (kBenchLinkColour & 0xFF00) | ((kBenchLinkColour >> 16) & 0xFF);
    int count = 0;
    for (int p = 0; p < kWidth * kHeight; ++p)
      if ((pixels_[p] & 0xFFFFFF) == want) ++count;
    return count;
  }

 private:
  HDC screen_, memory_;
  HBITMAP dib_;
  HGDIOBJ old_;
  DWORD* pixels_ = nullptr;
};

// One WM_PAINT draws every link; velmaro.exe draws the last link of layout.h first and the first last,
// minimal.exe the other way round, so both ends showing their text means the whole menu is on screen.
bool LinksPainted(Grab& grab, HWND hwnd) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  return grab.LinkPixels(origin, 0) >= kMinPixels && grab.LinkPixels(origin, kBenchLinks - 1) >= kMinPixels;
}

struct Result {
  double shownMs = 0, paintedMs = 0;
  SIZE_T peakBytes = 0;
};

bool RunOnce(const std::string& given, DWORD settleMs, Result& result) {
  std::string exe = given.substr(0, given.find('|'));
  std::string argument = given.find('|') == std::string::npos ? "" : given.substr(given.find('|') + 1);
  std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
  std::string command = "\"" + exe + "\"" + (argument.empty() ? "" : " \"" + argument + "\"");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double start = Now();
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                      &pi)) {
    std::fprintf(stderr, "probe: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
    return false;
  }
  Grab grab;
  HWND hwnd = nullptr;
  bool painted = false;
  while (Now() - start < kTimeoutMs) {
    if (!hwnd && (hwnd = VisibleWindowOf(pi.dwProcessId)) != nullptr) result.shownMs = Now() - start;
    if (hwnd && LinksPainted(grab, hwnd)) {
      painted = true;
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0) break;
  }
  result.paintedMs = Now() - start;
  Sleep(settleMs);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters))
    result.peakBytes = counters.PeakWorkingSetSize;

  if (hwnd) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (!painted) std::fprintf(stderr, "probe: %s showed no painted menu\n", exe.c_str());
  return painted;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Name(const std::string& given) {
  std::string exe = given.substr(0, given.find('|'));
  return exe.substr(exe.find_last_of('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: probe.exe RUNS SETTLE_MS EXE...\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const DWORD settle = static_cast<DWORD>(std::atoi(argv[2]));
  std::vector<std::string> exes(argv + 3, argv + argc);
  std::vector<std::vector<Result>> results(exes.size());

  // One unmeasured start of each first: the fonts, the DLLs and the files are then in the caches for all.
  for (const std::string& exe : exes) {
    Result warm;
    if (!RunOnce(exe, settle, warm)) return 1;
  }
  for (int r = 0; r < runs; ++r) {
    for (size_t k = 0; k < exes.size(); ++k) {
      size_t e = r % 2 ? exes.size() - 1 - k : k;  // ABBA: neither always goes first
      Result result;
      if (!RunOnce(exes[e], settle, result)) return 1;
      results[e].push_back(result);
      std::printf("run %2d  %-12s shown %7.1f ms  painted %7.1f ms  peak working set %7.1f MiB\n", r + 1,
                  Name(exes[e]).c_str(), result.shownMs, result.paintedMs, result.peakBytes / 1048576.0);
      std::fflush(stdout);
    }
  }
  std::printf("\nmedian of %d runs:\n", runs);
  std::vector<double> painted(exes.size()), peak(exes.size());
  for (size_t e = 0; e < exes.size(); ++e) {
    std::vector<double> shown, paint, mem;
    for (const Result& r : results[e]) {
      shown.push_back(r.shownMs);
      paint.push_back(r.paintedMs);
      mem.push_back(static_cast<double>(r.peakBytes));
    }
    painted[e] = Median(paint);
    peak[e] = Median(mem);
    std::printf("  %-12s shown %7.1f ms  painted %7.1f ms  peak working set %7.1f MiB\n",
                Name(exes[e]).c_str(), Median(shown), painted[e], peak[e] / 1048576.0);
  }
  for (size_t e = 1; e < exes.size(); ++e)
    std::printf("ratio %s / %s: time to painted %.2fx, peak working set %.2fx (%+.1f MiB)\n",
                Name(exes[0]).c_str(), Name(exes[e]).c_str(), painted[0] / painted[e], peak[0] / peak[e],
                (peak[0] - peak[e]) / 1048576.0);
  return 0;
}
