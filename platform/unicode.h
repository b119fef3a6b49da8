// Unicode configuration files: UTF-8 and UTF-16 LE turned into the program's text. A wide character is a
// UTF-16 unit on Windows and a whole code point elsewhere; Text holds whichever the system uses.
#pragma once

#include <cstddef>

#include "platform/text.h"

// Validates UTF-8 a piece at a time, across the pieces' boundaries: well-formed sequences only (no
// overlong forms, no surrogates, nothing above U+10FFFF).
class Utf8Validator {
 public:
  void Feed(const char* bytes, std::size_t length);
  // Everything fed so far is UTF-8, with no sequence left unfinished.
  bool Valid() const { return valid_ && pending_ == 0; }
  bool Broken() const { return !valid_; }
  // At least one character took more than one byte.
  bool SawMultiByte() const { return multiByte_; }

 private:
  bool valid_ = true;
  bool multiByte_ = false;
  int pending_ = 0;                         // continuation bytes still due
  unsigned char low_ = 0x80, high_ = 0xBF;  // the range of the next continuation byte
};

// Decodes into `into`, replacing what it held. A malformed sequence becomes U+FFFD, one per byte, so a bad
// byte never swallows a following bar.
void DecodeUtf8(const char* bytes, std::size_t length, Text& into);
// Little-endian units; an odd last byte is dropped, a lone surrogate becomes U+FFFD.
void DecodeUtf16Le(const char* bytes, std::size_t length, Text& into);
