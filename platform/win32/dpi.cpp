// DPI queries with the newer per-monitor functions where the system has them.
#include "platform/win32/dpi.h"

#include "platform/win32/dpi_choice.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

GetDpiForWindowFn getDpiForWindow = nullptr;
GetDpiForMonitorFn getDpiForMonitor = nullptr;

unsigned FromWindow(const void* hwnd) {
  return getDpiForWindow(static_cast<HWND>(const_cast<void*>(hwnd)));
}

unsigned FromMonitor(const void* hwnd) {
  HMONITOR monitor = MonitorFromWindow(static_cast<HWND>(const_cast<void*>(hwnd)), MONITOR_DEFAULTTONEAREST);
  UINT x = 0, y = 0;
  return monitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) ? y : 0;
}

unsigned FromSystem() {
  return SystemDpi();
}

// The DPI last announced to a top-level window by WM_DPICHANGED. Until it has moved onto the new monitor,
// the monitor's query would still give the old one.
struct Announced {
  HWND hwnd;
  unsigned dpi;
};
Announced announced[4] = {};

}  // namespace

unsigned SystemDpi() {
  static auto getDpiForSystem = SystemProc<UINT(WINAPI*)()>("user32.dll", "GetDpiForSystem");
  if (getDpiForSystem) {
    UINT dpi = getDpiForSystem();
    if (dpi) return dpi;
  }
  ScopedWindowDc screen(nullptr);
  int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<unsigned>(dpi) : kBaseDpi;
}

unsigned WindowDpi(HWND hwnd) {
  HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  for (const Announced& a : announced) {
    if (root && a.hwnd == root) return a.dpi;
  }
  static const DpiSources sources = [] {
    getDpiForWindow = SystemProc<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
    // shcore is loaded only where the window's own query is missing (Windows 8.1, Windows 10 before 1607).
    if (!getDpiForWindow) getDpiForMonitor = SystemProc<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
    return DpiSources{getDpiForWindow ? FromWindow : nullptr, getDpiForMonitor ? FromMonitor : nullptr,
                      FromSystem};
  }();
  return ChooseDpi(sources, root ? root : hwnd);
}

void AnnounceDpi(HWND topLevel, unsigned dpi) {
  for (Announced& a : announced) {
    if (a.hwnd == topLevel || !a.hwnd) {
      a = Announced{topLevel, dpi};
      return;
    }
  }
}

void AddFrame(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi) {
  static auto adjustForDpi =
      SystemProc<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi && adjustForDpi(rect, style, FALSE, exStyle, dpi)) return;
  AdjustWindowRectEx(rect, style, FALSE, exStyle);
}
