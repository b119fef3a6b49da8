// Which of the system's DPI queries answers for a window. No system header, so it is tested on any host.
#pragma once

#include "platform/win32/units.h"

// Each query is null where the system lacks it and answers 0 when it has no answer for this window.
struct DpiSources {
  unsigned (*window)(const void* hwnd);   // the window's own DPI: Windows 10 1607 on
  unsigned (*monitor)(const void* hwnd);  // the effective DPI of the window's monitor: Windows 8.1 on
  unsigned (*system)();                   // the primary screen's: every Windows
};

// The first answer in that order; a null window has only the system's, and 96 stands in for no answer.
inline unsigned ChooseDpi(const DpiSources& sources, const void* hwnd) {
  if (hwnd && sources.window) {
    if (unsigned dpi = sources.window(hwnd)) return dpi;
  }
  if (hwnd && sources.monitor) {
    if (unsigned dpi = sources.monitor(hwnd)) return dpi;
  }
  unsigned dpi = sources.system ? sources.system() : 0;
  return dpi ? dpi : kBaseDpi;
}
