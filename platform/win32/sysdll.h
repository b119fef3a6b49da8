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

// Stops the loader from looking in the program's and the current folder for anything loaded later.
void HardenDllSearch();
