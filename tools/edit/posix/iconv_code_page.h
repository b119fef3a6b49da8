// An ANSI code page through iconv, by any name iconv knows ("CP1252", "CP932").
#pragma once

#include <iconv.h>

#include "tools/edit/code_page.h"

class IconvCodePage : public AnsiCodePage {
 public:
  // Throws std::invalid_argument for a code page iconv does not know.
  explicit IconvCodePage(std::string name);
  ~IconvCodePage() override;
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  std::string Name() const override { return name_; }
  void Decode(const char* bytes, std::size_t length, Text& into) const override;
  bool Encode(const Text& text, std::string& into) const override;
  std::size_t CharacterLength(const char* bytes, std::size_t available) const override;

 private:
  std::string name_;
  iconv_t decoder_;
  iconv_t encoder_;
};
