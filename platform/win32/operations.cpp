// The operations the logic needs from Windows: the shell, multimedia commands, message boxes, the file
// system and the screen. Texts the system's ANSI code page holds go to the ANSI operations in that code page,
// as they always have; a call with any text it cannot hold goes to the wide twin (call_choice.h).
#include <climits>
#include <string>

#include "platform/errors.h"
#include "platform/listing.h"
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
  using ShellExecuteWideFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  HWND ownerWindow = owner == Owner::Menu ? ExistingForm(Win::Menu) : nullptr;
  std::string op, name, params;
  if (ChooseCall(AnsiCodePage(), {{operation, &op}, {file, &name}, {parameters, &params}}) == Call::Ansi) {
    static auto shellExecute = SystemProc<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
    if (shellExecute)
      shellExecute(ownerWindow, op.c_str(), name.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
    return;
  }
  static auto shellExecuteWide = SystemProc<ShellExecuteWideFn>("shell32.dll", "ShellExecuteW");
  if (shellExecuteWide) {
    shellExecuteWide(ownerWindow, operation.c_str(), file.c_str(), parameters.c_str(), nullptr,
                     SW_SHOWNORMAL);
  }
}

void Win32Platform::mciSendStringA(const Text& command) {
  using MciSendStringFn = DWORD(WINAPI*)(LPCSTR, LPSTR, UINT, HWND);
  using MciSendStringWideFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, UINT, HWND);
  std::string text;
  if (ChooseCall(AnsiCodePage(), {{command, &text}}) == Call::Ansi) {
    static auto mciSendString = SystemProc<MciSendStringFn>("winmm.dll", "mciSendStringA");
    char answer[] = "0";  // with length 0 nothing is written to it
    if (mciSendString) mciSendString(text.c_str(), answer, 0, nullptr);
    return;
  }
  static auto mciSendStringWide = SystemProc<MciSendStringWideFn>("winmm.dll", "mciSendStringW");
  wchar_t answer[] = L"0";
  if (mciSendStringWide) mciSendStringWide(command.c_str(), answer, 0, nullptr);
}

void Win32Platform::ShowCriticalMessage(const Text& text, const Text& title) {
  // Owned by a visible menu, which it disables; with no menu on screen it disables every window of the
  // program instead. Either way the event that shows it is still running, so the gate (gate.h) lets no
  // second action in meanwhile, from the pointer, the keys or a screen reader. Then no window of ours is in
  // front (the splash has just gone), so the box brings itself there rather than open behind others.
  HWND menu = ExistingForm(Win::Menu);
  HWND owner = menu && IsWindowVisible(menu) ? menu : nullptr;
  UINT flags = MB_OK | MB_ICONHAND | (owner ? 0 : MB_TASKMODAL | MB_SETFOREGROUND);
  std::string body, caption;
  if (ChooseCall(AnsiCodePage(), {{text, &body}, {title, &caption}}) == Call::Ansi)
    MessageBoxA(owner, body.c_str(), caption.c_str(), flags);
  else
    MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

static_assert(kAttrReadOnly == FILE_ATTRIBUTE_READONLY && kAttrHidden == FILE_ATTRIBUTE_HIDDEN &&
                  kAttrSystem == FILE_ATTRIBUTE_SYSTEM && kAttrDirectory == FILE_ATTRIBUTE_DIRECTORY &&
                  kAttrArchive == FILE_ATTRIBUTE_ARCHIVE,
              "the listing rules use the system's attribute bits");

namespace {

template <class FindData, class Next>
bool ListsOrdinaryFile(HANDLE first, FindData* found, Next next) {
  ScopedFind find(first);
  if (!find) return false;
  do {
    if (IsOrdinaryFile(found->dwFileAttributes)) return true;
  } while (next(find.get(), found));
  return false;
}

}  // namespace

bool Win32Platform::FileExists(const Text& path) {
  Text pattern = ListingPattern(path);
  std::string name;
  if (pattern.empty()) return false;
  if (ChooseCall(AnsiCodePage(), {{pattern, &name}}) == Call::Ansi) {
    WIN32_FIND_DATAA found;
    return ListsOrdinaryFile(FindFirstFileA(name.c_str(), &found), &found, FindNextFileA);
  }
  WIN32_FIND_DATAW found;
  return ListsOrdinaryFile(FindFirstFileW(pattern.c_str(), &found), &found, FindNextFileW);
}

Text Win32Platform::ProgramFolder() {
  // The wide name: through the ANSI one, a folder named in another script than the system's comes back
  // with "?" for its letters, and no file under it would be found.
  Text path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return Text();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.rfind(L'\\');
  if (slash == Text::npos) return path;
  bool driveRoot = slash == 2 && path[1] == L':';
  return path.substr(0, driveRoot ? slash + 1 : slash);
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

void Win32Platform::OpenTextFile(const Text& path) {
  CloseTextFile();
  std::string name;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
  if (ChooseCall(AnsiCodePage(), {{path, &name}}) == Call::Ansi)
    textFile_.reset(CreateFileA(name.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, flags, nullptr));
  else
    textFile_.reset(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, flags, nullptr));
  if (!textFile_) throw AppError(ErrorKind::FileNotFound);
}

std::size_t Win32Platform::ReadTextBytes(char* buffer, std::size_t size) {
  if (!textFile_) return 0;
  DWORD got = 0;
  DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
  // A failing read is a damaged disc, not the end of the file: the line it cuts must not be used.
  if (!ReadFile(textFile_.get(), buffer, wanted, &got, nullptr)) throw AppError(ErrorKind::FileNotFound);
  return got;
}

void Win32Platform::RewindTextFile() {
  if (textFile_ && SetFilePointer(textFile_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    throw AppError(ErrorKind::FileNotFound);
}

void Win32Platform::CloseTextFile() {
  textFile_.reset();
}

void Win32Platform::DecodeAnsi(const char* bytes, std::size_t length, Text& into) {
  // A character of an ANSI code page never takes more UTF-16 units than it has bytes.
  into.resize(length);
  int size = length > INT_MAX ? 0 : static_cast<int>(length);
  int got = size ? MultiByteToWideChar(CP_ACP, 0, bytes, size, &into[0], size) : 0;
  into.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
}

wchar_t Win32Platform::DecimalSeparator() {
  char separator[8] = {};
  int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  Text decoded = length > 1 ? FromAnsi(separator, static_cast<std::size_t>(length - 1)) : Text();
  return decoded.empty() ? L'.' : decoded[0];
}
