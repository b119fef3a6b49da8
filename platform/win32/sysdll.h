// Run-time binding of system DLLs, always by full path in the Windows system folder: a disc can carry a DLL
// named like a system one beside the program, and the ordinary search would load it first.
#pragma once

#include "platform/win32/win.h"

// The DLL loaded from the system folder, or null. Loaded once and kept for the whole run.
HMODULE SystemLibrary(const char* name);

// An export of a system DLL, or null when the DLL or the export is missing (an older Windows).
FARPROC SystemProcAddress(const char* dll, const char* proc);

template <class Fn>
Fn SystemProc(const char* dll, const char* proc) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemProcAddress(dll, proc)));
}

// Takes the current folder out of the DLL search (XP SP1 on) and, where SetDefaultDllDirectories exists
// (Windows 8 on; Vista and 7 with KB2533623), the program's folder too, for every DLL loaded by name later, by
// the program or by the system for it. Without that call a DLL that a system component loads by bare name
// (winmm's MCI drivers) is still looked for in the program's folder first, unless it is already loaded.
void HardenDllSearch();
