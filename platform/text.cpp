#include "platform/text.h"

Text Mid(const Text& s, std::size_t start, std::size_t length) {
  if (start == 0 || start > s.size()) return Text();
  return s.substr(start - 1, length);
}

std::string ToUtf8(const Text& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned long>(s[i]);
    // Where a wide character is a UTF-16 unit (Windows), a surrogate pair is one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
      auto low = static_cast<unsigned long>(s[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

Text FromUtf8(const std::string& s) {
  Text out;
  for (std::size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    unsigned long c = b;
    std::size_t extra = 0;
    if (b >= 0xF0) {
      c = b & 0x07;
      extra = 3;
    } else if (b >= 0xE0) {
      c = b & 0x0F;
      extra = 2;
    } else if (b >= 0xC0) {
      c = b & 0x1F;
      extra = 1;
    }
    ++i;
    for (std::size_t k = 0; k < extra && i < s.size(); ++k, ++i)
      c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out += static_cast<wchar_t>(c);
  }
  return out;
}
