#include "tools/edit/win32/win32_code_page.h"

#include <climits>

#include "platform/win32/win.h"

Win32CodePage::Win32CodePage(unsigned codePage) : codePage_(codePage ? codePage : GetACP()) {}

std::string Win32CodePage::Name() const {
  return "CP" + std::to_string(codePage_);
}

void Win32CodePage::Decode(const char* bytes, std::size_t length, Text& into) const {
  into.clear();
  if (length == 0 || length > INT_MAX) return;
  int size = static_cast<int>(length);
  int needed = MultiByteToWideChar(codePage_, 0, bytes, size, nullptr, 0);
  if (needed <= 0) return;
  into.resize(static_cast<std::size_t>(needed));
  MultiByteToWideChar(codePage_, 0, bytes, size, &into[0], needed);
}

bool Win32CodePage::Encode(const Text& text, std::string& into) const {
  into.clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX) return false;
  int length = static_cast<int>(text.size());
  // UTF-8 takes neither the flag nor the used-default question; it holds every character anyway.
  bool utf8 = codePage_ == CP_UTF8;
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  int needed = WideCharToMultiByte(codePage_, flags, text.data(), length, nullptr, 0, nullptr, used);
  if (needed <= 0 || usedDefault) return false;
  into.resize(static_cast<std::size_t>(needed));
  int written = WideCharToMultiByte(codePage_, flags, text.data(), length, &into[0], needed, nullptr, used);
  return written == needed && !usedDefault;
}

std::size_t Win32CodePage::CharacterLength(const char* bytes, std::size_t available) const {
  return available >= 2 && IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(*bytes)) ? 2 : 1;
}
