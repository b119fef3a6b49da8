// Loading system DLLs from the system folder only, and closing the default DLL search paths at start-up.
#include "platform/win32/sysdll.h"

#include <map>
#include <string>

namespace {

// The system DLLs loaded so far, and whether the loader was told at entry to search the system folder only.
class SystemLibraries {
 public:
  static SystemLibraries& Get() {
    // Never freed: the functions bound from the DLLs are used until the process ends.
    static auto* libraries = new SystemLibraries();
    return *libraries;
  }

  HMODULE Load(const char* name) {
    auto found = loaded_.find(name);
    if (found != loaded_.end()) return found->second;
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
      module = LoadLibraryExA(path.c_str(), nullptr, systemFolderOnly_ ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    loaded_[name] = module;
    return module;
  }

  void HardenSearch() {
    // Bound by name: SetDllDirectoryW came with XP SP1, SetDefaultDllDirectories with Windows 8 (and
    // KB2533623 for Vista and 7). Where one is missing, its call is skipped.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")));
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    // Takes the current folder out of the search; the program's own folder stays first in it.
    if (setDllDirectory) setDllDirectory(L"");
    // Takes the program's folder out as well, for every load by name in the process, the system's included.
    if (setDefault) systemFolderOnly_ = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
  }

 private:
  std::map<std::string, HMODULE> loaded_;
  bool systemFolderOnly_ = false;
};

}  // namespace

HMODULE SystemLibrary(const char* name) {
  return SystemLibraries::Get().Load(name);
}

FARPROC SystemProcAddress(const char* dll, const char* proc) {
  HMODULE module = SystemLibrary(dll);
  return module ? GetProcAddress(module, proc) : nullptr;
}

void HardenDllSearch() {
  SystemLibraries::Get().HardenSearch();
}
