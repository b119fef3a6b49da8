// ANSI bytes to characters with iconv, as Windows decodes them: the one rule for the check's reading of a
// disc and for the editing model's, so the two never read a file differently.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/text.h"

inline void IconvDecode(iconv_t decoder, const char* bytes, std::size_t length, Text& into) {
  into.assign(length, L'\0');
  iconv(decoder, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes);
  std::size_t inLeft = length;
  char* out = reinterpret_cast<char*>(&into[0]);
  std::size_t outLeft = length * sizeof(wchar_t);
  while (inLeft > 0) {
    if (iconv(decoder, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG || outLeft < sizeof(wchar_t)) break;
    // A byte the code page leaves undefined comes through as its own value, as Windows passes it on.
    wchar_t raw = static_cast<unsigned char>(*in);
    std::memcpy(out, &raw, sizeof raw);
    out += sizeof raw;
    outLeft -= sizeof raw;
    ++in;
    --inLeft;
  }
  into.resize(length - outLeft / sizeof(wchar_t));
}
