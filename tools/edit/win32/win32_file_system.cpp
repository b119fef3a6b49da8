#include "tools/edit/win32/win32_file_system.h"

#include <algorithm>
#include <system_error>

#include "platform/win32/scoped.h"
#include "platform/win32/win.h"

namespace {

[[noreturn]] void Fail(const Text& path, DWORD error = GetLastError()) {
  throw std::system_error(static_cast<int>(error), std::system_category(), ToUtf8(path));
}

std::int64_t Ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
}

FileStamp StampOf(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
  stamp.modified = Ticks(written);
  return stamp;
}

Text FolderOf(const Text& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  return slash == Text::npos ? Text(L".") : path.substr(0, slash + 1);
}

void WriteAll(HANDLE file, const std::string& bytes, const Text& path) {
  for (std::size_t written = 0; written < bytes.size();) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1 << 20));
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &put, nullptr)) Fail(path);
    written += put;
  }
}

}  // namespace

bool Win32FileSystem::Read(const Text& path, std::string& bytes, FileStamp& stamp) {
  // Shared for writing and deleting too: a text editor holding the file open must not stop the designer.
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    Fail(path, error);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) Fail(path);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Fail(path, ERROR_DIRECTORY);
  bytes.clear();
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) Fail(path);
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  stamp = StampOf(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
  stamp.size = bytes.size();
  return true;
}

FileStamp Win32FileSystem::Stamp(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return FileStamp();
  return StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

FileStamp Win32FileSystem::Replace(const Text& path, const std::string& bytes) {
  const Text folder = FolderOf(path);
  wchar_t temporary[MAX_PATH + 1] = {};
  if (folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"vel", 0, temporary)) Fail(folder);
  try {
    {
      ScopedFile file(
          CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file) Fail(temporary);
      WriteAll(file.get(), bytes, temporary);
      if (!FlushFileBuffers(file.get())) Fail(temporary);
    }
    // ReplaceFileW keeps the old file's attributes and security; a new file is only moved into place.
    bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists) {
      if (!ReplaceFileW(path.c_str(), temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        Fail(path);
    } else if (!MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fail(path);
    }
  } catch (...) {
    DeleteFileW(temporary);
    throw;
  }
  FileStamp stamp = Stamp(path);
  if (!stamp.exists) Fail(path);
  return stamp;
}
