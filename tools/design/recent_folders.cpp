#include "tools/design/recent_folders.h"

#include <algorithm>
#include <string>

#include "platform/win32/win.h"

namespace {

const wchar_t kKey[] = L"Software\\Velmaro\\Designer\\Recent";

bool SameFolder(const Text& a, const Text& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

RecentFolders::RecentFolders() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (std::size_t i = 0; i < kKept; ++i) {
    wchar_t value[MAX_PATH * 4] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    std::wstring name = std::to_wstring(i);
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
      break;
    if (value[0]) folders_.push_back(value);
  }
  RegCloseKey(key);
}

void RecentFolders::Add(const Text& folder) {
  Remove(folder);
  folders_.insert(folders_.begin(), folder);
  if (folders_.size() > kKept) folders_.resize(kKept);
  Store();
}

void RecentFolders::Remove(const Text& folder) {
  folders_.erase(std::remove_if(folders_.begin(), folders_.end(),
                                [&](const Text& kept) { return SameFolder(kept, folder); }),
                 folders_.end());
  Store();
}

void RecentFolders::Store() const {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  for (std::size_t i = 0; i < kKept; ++i) {
    std::wstring name = std::to_wstring(i);
    if (i < folders_.size()) {
      const Text& folder = folders_[i];
      RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, name.c_str());
    }
  }
  RegCloseKey(key);
}
