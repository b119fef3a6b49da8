#include "platform/numbers.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/errors.h"

namespace {

wchar_t decimalSeparator = L'.';

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

[[noreturn]] void Mismatch() {
  throw AppError(ErrorKind::TypeMismatch);
}

// &H and &O integers: up to four digits' worth they are 16-bit values, up to eight 32-bit ones, both signed,
// so &HFFFF is -1 and &H80000012 (a system colour) is negative.
double ParseRadix(const Text& s, std::size_t i) {
  if (i + 1 >= s.size()) Mismatch();
  unsigned base = 0;
  wchar_t kind = s[i + 1];
  if (kind == L'H' || kind == L'h') base = 16;
  if (kind == L'O' || kind == L'o') base = 8;
  if (base == 0) Mismatch();
  i += 2;
  if (i >= s.size()) Mismatch();
  unsigned long long value = 0;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    unsigned digit;
    if (IsDigit(c))
      digit = static_cast<unsigned>(c - L'0');
    else if (base == 16 && c >= L'a' && c <= L'f')
      digit = static_cast<unsigned>(c - L'a' + 10);
    else if (base == 16 && c >= L'A' && c <= L'F')
      digit = static_cast<unsigned>(c - L'A' + 10);
    else
      Mismatch();
    if (digit >= base) Mismatch();
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) throw AppError(ErrorKind::Overflow);
  }
  if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

double Parse(const Text& text) {
  // Most numbers are plain integers, such as the page field of every line: up to 15 digits they are exact
  // without strtod.
  if (!text.empty() && text.size() <= 15) {
    double whole = 0;
    std::size_t k = 0;
    for (; k < text.size() && IsDigit(text[k]); ++k)
      whole = whole * 10 + (text[k] - L'0');
    if (k == text.size()) return whole;
  }
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  Text s = text.substr(begin, end - begin);
  if (s.empty()) Mismatch();
  if (s[0] == L'&') return ParseRadix(s, 0);

  // Check the shape first, then hand a plain ASCII copy to strtod.
  std::string ascii;
  std::size_t i = 0;
  if (s[i] == L'+' || s[i] == L'-') ascii += static_cast<char>(s[i++]);
  std::size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i, ++digits)
    ascii += static_cast<char>(s[i]);
  if (i < s.size() && s[i] == decimalSeparator) {
    ascii += '.';
    for (++i; i < s.size() && IsDigit(s[i]); ++i, ++digits)
      ascii += static_cast<char>(s[i]);
  }
  if (digits == 0) Mismatch();
  if (i < s.size() && (s[i] == L'E' || s[i] == L'e' || s[i] == L'D' || s[i] == L'd')) {
    ascii += 'e';
    ++i;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ascii += static_cast<char>(s[i++]);
    std::size_t expDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++expDigits)
      ascii += static_cast<char>(s[i]);
    if (expDigits == 0) Mismatch();
  }
  if (i != s.size()) Mismatch();
  double value = std::strtod(ascii.c_str(), nullptr);
  if (std::isinf(value)) throw AppError(ErrorKind::Overflow);
  return value;
}

double RoundedInRange(const Text& s, double low, double high) {
  double r = std::nearbyint(Parse(s));  // the default rounding mode sends a half to the even neighbour
  if (r < low || r > high) throw AppError(ErrorKind::Overflow);
  return r;
}

}  // namespace

void SetDecimalSeparator(wchar_t separator) {
  decimalSeparator = separator;
}
wchar_t DecimalSeparator() {
  return decimalSeparator;
}

double ToDouble(const Text& s) {
  return Parse(s);
}

float ToSingle(const Text& s) {
  double d = Parse(s);
  if (std::fabs(d) > FLT_MAX) throw AppError(ErrorKind::Overflow);
  return static_cast<float>(d);
}

int16_t ToInt16(const Text& s) {
  return static_cast<int16_t>(RoundedInRange(s, -32768.0, 32767.0));
}

int32_t ToInt32(const Text& s) {
  return static_cast<int32_t>(RoundedInRange(s, -2147483648.0, 2147483647.0));
}

bool ToFlag(const Text& s) {
  return Parse(s) != 0.0;
}

Text ToDecimalText(int32_t value) {
  // By hand: std::to_wstring drags a whole wide printf into the Windows program.
  wchar_t digits[12];
  wchar_t* p = digits + 12;
  int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value;
  do {
    *--p = static_cast<wchar_t>(L'0' + rest % 10);
    rest /= 10;
  } while (rest);
  if (value < 0) *--p = L'-';
  return Text(p, digits + 12);
}
