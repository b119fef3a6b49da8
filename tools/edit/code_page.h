// The ANSI code page a file is read in, as the caller's system converts it (iconv on Linux, the system's own
// conversion on Windows). The editing model never converts ANSI text itself.
#pragma once

#include <cstddef>
#include <string>

#include "platform/text.h"

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // The name shown to the author, e.g. "CP1252".
  virtual std::string Name() const = 0;
  // Decodes as the program does: a byte the code page leaves undefined comes through as its own value.
  virtual void Decode(const char* bytes, std::size_t length, Text& into) const = 0;
  // Encodes; false when a character has no form in the code page (nothing is replaced by a look-alike).
  virtual bool Encode(const Text& text, std::string& into) const = 0;
  // The bytes of the character at `bytes` (a byte at or above 0x80): 2 for the lead byte of a double-byte
  // code page followed by its trail byte, else 1.
  virtual std::size_t CharacterLength(const char* bytes, std::size_t available) const = 0;
};
