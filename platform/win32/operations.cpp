// The operations the logic needs from Windows: the shell, multimedia commands, message boxes, the file
// system and the screen. The ANSI operations get their texts back in the system's code page.
#include <string>

#include "platform/errors.h"
#include "platform/win32/ansi.h"
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/win32_platform.h"

void Win32Platform::ShellExecuteA(Owner owner,
                                  const Text& operation,
                                  const Text& file,
                                  const Text& parameters) {
  // Bound by name at first use: the program imports nothing from shell32 until it launches something.
  using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static auto shellExecute = SystemProc<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
  if (!shellExecute) return;
  HWND ownerWindow = owner == Owner::Menu ? ExistingForm(Win::Menu) : nullptr;
  std::string op = ToAnsi(operation), name = ToAnsi(file), params = ToAnsi(parameters);
  shellExecute(ownerWindow, op.c_str(), name.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
}

void Win32Platform::mciSendStringA(const Text& command) {
  using MciSendStringFn = DWORD(WINAPI*)(LPCSTR, LPSTR, UINT, HWND);
  static auto mciSendString = SystemProc<MciSendStringFn>("winmm.dll", "mciSendStringA");
  if (!mciSendString) return;
  std::string text = ToAnsi(command);
  char answer[] = "0";  // with length 0 nothing is written to it
  mciSendString(text.c_str(), answer, 0, nullptr);
}

void Win32Platform::ShowCriticalMessage(const Text& text, const Text& title) {
  // Owned by a visible menu, which it disables, so no click on a link can start a second action meanwhile;
  // with no menu on screen it disables every window of the program instead. Then no window of ours is in
  // front (the splash has just gone), so the box brings itself there rather than open behind others.
  HWND menu = ExistingForm(Win::Menu);
  HWND owner = menu && IsWindowVisible(menu) ? menu : nullptr;
  UINT flags = MB_OK | MB_ICONHAND | (owner ? 0 : MB_TASKMODAL | MB_SETFOREGROUND);
  std::string body = ToAnsi(text), caption = ToAnsi(title);
  MessageBoxA(owner, body.c_str(), caption.c_str(), flags);
}

bool Win32Platform::FileExists(const Text& path) {
  Text pattern = path;
  if (!pattern.empty() && pattern.back() == L'\\') pattern += L'*';
  std::string name = ToAnsi(pattern);
  if (name.empty()) return false;
  WIN32_FIND_DATAA found;
  ScopedFind find(FindFirstFileA(name.c_str(), &found));
  if (!find) return false;
  const DWORD excluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  do {
    if ((found.dwFileAttributes & excluded) == 0) return true;
  } while (FindNextFileA(find.get(), &found));
  return false;
}

Text Win32Platform::ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return Text();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Cut after decoding, so that a double-byte character whose trail byte is a backslash stays whole.
  Text folder = FromAnsi(path);
  std::size_t slash = folder.rfind(L'\\');
  if (slash == Text::npos) return folder;
  bool driveRoot = slash == 2 && folder[1] == L':';
  return folder.substr(0, driveRoot ? slash + 1 : slash);
}

float Win32Platform::ScreenWidth() {
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), SystemDpi());
}

float Win32Platform::ScreenHeight() {
  return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), SystemDpi());
}

void Win32Platform::EndProgram() {
  ExitProcess(0);
}

Text Win32Platform::ReadTextFile(const Text& path) {
  std::string name = ToAnsi(path);
  ScopedFile file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw AppError(ErrorKind::FileNotFound);
  std::string bytes;
  char chunk[64 * 1024];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  return FromAnsi(bytes);
}

wchar_t Win32Platform::DecimalSeparator() {
  char separator[8] = {};
  int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  Text decoded = length > 1 ? FromAnsi(separator, static_cast<std::size_t>(length - 1)) : Text();
  return decoded.empty() ? L'.' : decoded[0];
}
