// The one way the Windows back end includes the system headers, so every file sees the same declarations.
// The newest declarations are visible for their types only: anything newer than Windows XP is called
// through GetProcAddress (sysdll.h), which keeps the program starting on XP.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#ifndef WINVER
#define WINVER 0x0A00
#endif

#include <windows.h>
