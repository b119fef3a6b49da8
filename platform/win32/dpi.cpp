// DPI queries with the newer per-monitor functions where the system has them.
#include "platform/win32/dpi.h"

#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"

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
  static auto getDpiForWindow = SystemProc<UINT(WINAPI*)(HWND)>("user32.dll", "GetDpiForWindow");
  if (hwnd && getDpiForWindow) {
    UINT dpi = getDpiForWindow(hwnd);
    if (dpi) return dpi;
  }
  return SystemDpi();
}

void AddFrame(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi) {
  static auto adjustForDpi =
      SystemProc<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi && adjustForDpi(rect, style, FALSE, exStyle, dpi)) return;
  AdjustWindowRectEx(rect, style, FALSE, exStyle);
}
