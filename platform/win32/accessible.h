// The menu window to screen readers: its client area as an accessible object (Microsoft Active
// Accessibility, which Windows hands on to UI Automation) with one child per shown link, in reading order.
#pragma once

#include "platform/win32/win.h"

// Posted to the menu window by a screen reader's default action: wParam is the link, lParam the showing of a
// page it was meant for (gate.h); clicked once the reader's call has returned (an action may show a message
// box or end the program).
constexpr UINT kAccessibleClick = WM_APP + 1;

// The answer to WM_GETOBJECT for the menu window; DefWindowProc's where it is not the client object or
// oleacc.dll is missing.
LRESULT AnswerGetObject(HWND menu, WPARAM wParam, LPARAM lParam);

// Tells screen readers that the keyboard moved to `link`, or that the menu shows other links.
void AnnounceFocus(HWND menu, int link);
void AnnounceLinks(HWND menu);
// Tells screen readers that the links became unavailable or available again.
void AnnounceAvailability(HWND menu);
