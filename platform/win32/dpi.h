// Dots per inch of the screen and of a window, and window frames at a given DPI. The program declares
// per-monitor awareness, so each window converts twips with the DPI of the monitor it is on.
#pragma once

#include "platform/win32/units.h"
#include "platform/win32/win.h"

// The DPI of the primary screen, which also places windows on the desktop.
unsigned SystemDpi();
// The DPI of the monitor the window (or its top-level window) is on: the window's own query on Windows 10
// 1607 and later, its monitor's on Windows 8.1 and 10 before 1607, the system DPI before. Once a DPI change
// has been announced to the window, that DPI, so that everything done for the change uses one.
unsigned WindowDpi(HWND hwnd);
// Records the DPI that WM_DPICHANGED gave a top-level window.
void AnnounceDpi(HWND topLevel, unsigned dpi);
// Grows a client rectangle by the frame and caption of a window with these styles at this DPI.
void AddFrame(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi);
