// The folder's absolute path from a handle of the folder itself, written as a URI path wants it
// ("/C:/discs/mine").
#include <algorithm>

#include "platform/text.h"
#include "platform/win32/scoped.h"
#include "tools/author/folder_path.h"

std::string FolderRealPath(const std::string& folder) {
  ScopedFile handle(CreateFileW(FromUtf8(folder).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!handle || !GetFileInformationByHandle(handle.get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return "";
  Text path(32768, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle.get(), &path[0], static_cast<DWORD>(path.size()), 0);
  if (length == 0 || length >= path.size()) return "";
  path.resize(length);
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    path = L"\\\\" + path.substr(8);
  else if (path.compare(0, 4, L"\\\\?\\") == 0)
    path = path.substr(4);
  std::replace(path.begin(), path.end(), L'\\', L'/');
  if (path.compare(0, 2, L"//") != 0) path = L"/" + path;
  return ToUtf8(path);
}
