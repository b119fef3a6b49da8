// Dots per inch of the screen and of a window, and window frames at a given DPI. The program declares
// per-monitor awareness, so each window converts twips with the DPI of the monitor it is on.
#pragma once

#include "platform/win32/units.h"
#include "platform/win32/win.h"

// The DPI of the primary screen, which also places windows on the desktop.
unsigned SystemDpi();
// The DPI of the monitor the window is on (the system DPI before Windows 10).
unsigned WindowDpi(HWND hwnd);
// Grows a client rectangle by the frame and caption of a window with these styles at this DPI.
void AddFrame(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi);
