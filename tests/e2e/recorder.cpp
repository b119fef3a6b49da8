// Stand-in for a program on a test disc: appends one JSON line with its arguments, working
// folder and ANSI code page to the file named by VELMARO_E2E_RECORD, then exits. It shows
// nothing, so a launch never leaves a window behind for the next case.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string Json(const std::wstring& w) {
  std::string utf8;
  if (!w.empty()) {
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    utf8.assign(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &utf8[0], n, nullptr, nullptr);
  }
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') out += '\\';
    if (c < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t target[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"VELMARO_E2E_RECORD", target, MAX_PATH)) return 2;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  wchar_t cwd[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, cwd);
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);

  std::string line = "{\"exe\":" + Json(exe) + ",\"cwd\":" + Json(cwd) +
                     ",\"cmdline\":" + Json(GetCommandLineW()) + ",\"acp\":" + std::to_string(GetACP()) +
                     ",\"args\":[";
  for (int i = 1; i < argc; ++i)
    line += (i > 1 ? "," : "") + Json(argv[i]);
  line += "]}\n";
  LocalFree(argv);

  HANDLE f = CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(f);
  return 0;
}
