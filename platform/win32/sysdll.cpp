// Loading system DLLs from the system folder only, and closing the default DLL search paths at start-up.
#include "platform/win32/sysdll.h"

#include <map>
#include <string>

namespace {
bool defaultDirsSet = false;
}

HMODULE SystemLibrary(const char* name) {
  // Never freed: the functions bound from it are used until the process ends.
  static auto* loaded = new std::map<std::string, HMODULE>();
  auto found = loaded->find(name);
  if (found != loaded->end()) return found->second;

  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  HMODULE module = nullptr;
  if (length > 0 && length < MAX_PATH) {
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    path += name;
    // A full path is never searched for. Its own dependencies are: with the default directories set they
    // come from the system folder; otherwise the altered search starts in the DLL's folder, the same one.
    // The two may not be combined.
    module = LoadLibraryExA(path.c_str(), nullptr, defaultDirsSet ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  (*loaded)[name] = module;
  return module;
}

FARPROC SystemProcAddress(const char* dll, const char* proc) {
  HMODULE module = SystemLibrary(dll);
  return module ? GetProcAddress(module, proc) : nullptr;
}

void HardenDllSearch() {
  // kernel32 is always loaded; both calls are missing on early XP and simply skipped there.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDllDirectory) setDllDirectory("");  // drops the current folder from the search
  if (setDefault) defaultDirsSet = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}
