// An ANSI code page through the system's own conversions: the one the designer's Windows runs in, as the
// program on that Windows reads the files.
#pragma once

#include "tools/edit/code_page.h"

class Win32CodePage : public ::AnsiCodePage {
 public:
  // 0: the system's ANSI code page.
  explicit Win32CodePage(unsigned codePage = 0);

  std::string Name() const override;
  void Decode(const char* bytes, std::size_t length, Text& into) const override;
  bool Encode(const Text& text, std::string& into) const override;
  std::size_t CharacterLength(const char* bytes, std::size_t available) const override;

 private:
  unsigned codePage_;
};
