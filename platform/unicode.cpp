#include "platform/unicode.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void Append(Text& out, char32_t c) {
  if (sizeof(wchar_t) == 2 && c > 0xFFFF) {
    c -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (c >> 10));
    out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<wchar_t>(c);
  }
}

// The length of the sequence a lead byte starts, and the range its first continuation byte must lie in.
int SequenceLength(unsigned char b, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) {
    if (b == 0xE0) *low = 0xA0;   // no overlong forms
    if (b == 0xED) *high = 0x9F;  // no surrogates
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (b == 0xF0) *low = 0x90;
    if (b == 0xF4) *high = 0x8F;  // nothing above U+10FFFF
    return 4;
  }
  return 0;
}

}  // namespace

void Utf8Validator::Feed(const char* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length && valid_; ++i) {
    // Plain ASCII, which most files are throughout, eight bytes at a time.
    while (pending_ == 0 && i + 8 <= length) {
      uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= length) break;
    auto b = static_cast<unsigned char>(bytes[i]);
    if (pending_ > 0) {
      if (b < low_ || b > high_) {
        valid_ = false;
        break;
      }
      low_ = 0x80;
      high_ = 0xBF;
      --pending_;
      continue;
    }
    if (b < 0x80) continue;
    int n = SequenceLength(b, &low_, &high_);
    if (n == 0) {
      valid_ = false;
      break;
    }
    pending_ = n - 1;
    multiByte_ = true;
  }
}

void DecodeUtf8(const char* bytes, std::size_t length, Text& into) {
  into.clear();
  into.reserve(length);
  for (std::size_t i = 0; i < length;) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      into += static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    unsigned char low, high;
    int n = SequenceLength(b, &low, &high);
    char32_t c = n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    bool ok = n > 0 && i + static_cast<std::size_t>(n) <= length;
    for (int k = 1; ok && k < n; ++k) {
      auto t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      ok = t >= (k == 1 ? low : 0x80) && t <= (k == 1 ? high : 0xBF);
      c = (c << 6) | (t & 0x3F);
    }
    if (!ok) {
      Append(into, kReplacement);
      ++i;
      continue;
    }
    Append(into, c);
    i += static_cast<std::size_t>(n);
  }
}

void DecodeUtf16Le(const char* bytes, std::size_t length, Text& into) {
  into.clear();
  into.reserve(length / 2);
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = 0; i + 1 < length; i += 2) {
    char16_t u = unit(i);
    bool lead = u >= 0xD800 && u <= 0xDBFF, trail = u >= 0xDC00 && u <= 0xDFFF;
    if (lead && i + 3 < length) {
      char16_t v = unit(i + 2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        Append(into, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
        i += 2;
        continue;
      }
    }
    Append(into, lead || trail ? kReplacement : u);
  }
}
