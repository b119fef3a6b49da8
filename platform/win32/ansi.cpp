// Conversions between decoded text and the ANSI code page, with no length limit.
#include "platform/win32/ansi.h"

#include <climits>

#include "platform/win32/win.h"

Text FromAnsi(const char* bytes, std::size_t length) {
  if (length == 0 || length > INT_MAX) return Text();
  int size = static_cast<int>(length);
  int needed = MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0);
  if (needed <= 0) return Text();
  Text text(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, size, &text[0], needed);
  return text;
}

namespace {

bool EncodeAnsi(const Text& text, std::string* bytes) {
  if (text.size() > INT_MAX) return false;
  int length = static_cast<int>(text.size());
  // A UTF-8 code page (Windows 10 on, by the user's choice) takes neither flag; the round trip judges it.
  bool utf8 = GetACP() == CP_UTF8;
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  int needed = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, used);
  if (needed <= 0 || usedDefault) return false;
  bytes->assign(static_cast<std::size_t>(needed), '\0');
  return WideCharToMultiByte(CP_ACP, flags, text.data(), length, &(*bytes)[0], needed, nullptr, used) ==
             needed &&
         !usedDefault;
}

Text DecodeAnsi(const std::string& bytes) {
  return FromAnsi(bytes);
}

}  // namespace

const CodePage& AnsiCodePage() {
  static const CodePage codePage{EncodeAnsi, DecodeAnsi};
  return codePage;
}
