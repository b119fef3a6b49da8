// Keys pressed in the menu window.
#pragma once

#include "platform/win32/win.h"

// True when the message was a key or character of the menu's and has been handled; anything else goes on
// to DefWindowProc (Alt+F4, Alt+Space, the close key).
bool HandleMenuKey(HWND menu, UINT message, WPARAM wParam, LPARAM lParam);
