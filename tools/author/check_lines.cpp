#include "tools/author/check_lines.h"

#include <cmath>

#include "menu/fields.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace line_causes {

namespace {

// The fields of a line as NextField takes them off, without the error at the end.
std::vector<Text> Fields(Text rest) {
  std::vector<Text> fields;
  Text field;
  while (!rest.empty()) {
    try {
      NextField(field, rest);
    } catch (const AppError&) {
      fields.push_back(rest);
      break;
    }
    fields.push_back(field);
  }
  return fields;
}

template <typename Convert>
bool Reads(Convert convert) {
  try {
    convert();
    return true;
  } catch (const AppError&) {
    return false;
  }
}

std::string Utf8Quote(const Text& t) {
  return "\"" + ToUtf8(t) + "\"";
}

// Reads `value` with `separator` as the user's decimal separator, the program's setting put back after.
template <typename Convert>
std::optional<double> ReadWith(wchar_t separator, const Text& value, Convert convert) {
  wchar_t before = DecimalSeparator();
  SetDecimalSeparator(separator);
  std::optional<double> read;
  try {
    read = convert(value);
  } catch (const AppError&) {
  }
  SetDecimalSeparator(before);
  return read;
}

std::string Number(double value) {
  if (value == std::nearbyint(value)) return std::to_string(static_cast<long long>(value));
  std::string text = std::to_string(value);
  while (!text.empty() && text.back() == '0')
    text.pop_back();
  return text;
}

}  // namespace

bool FieldsFit(const Text& line) {
  std::vector<Text> f = Fields(line);
  if (f.size() < 10) return false;
  return Reads([&] { ToDouble(f[0]); }) && Reads([&] { ToInt16(f[1]); }) && Reads([&] {
           ToFlag(Mid(f[4], 1, 1));
           ToFlag(Mid(f[4], 2, 1));
           ToSingle(Mid(f[4], 3));
         }) &&
         Reads([&] { ToInt32(f[5]); }) && Reads([&] { ToSingle(f[7]); }) && Reads([&] { ToSingle(f[8]); }) &&
         Reads([&] { ToDouble(f[9]); });
}

std::vector<FindingNote> ShiftCauses(const Text& line, long number) {
  std::vector<FindingNote> notes;
  if (FieldsFit(line)) return notes;
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (line[at] != L'\t') continue;
    Text mended = line;
    mended[at] = L'|';
    if (FieldsFit(mended))
      notes.push_back(
          {"menu.inf", number, static_cast<long>(at + 1),
           "a tab stands where a \"|\" belongs: the program splits fields at \"|\" only, so every "
           "field after it moves one place; write \"|\""});
  }
  // A bar too many in the caption or the font name: the field it ends early is the one before it.
  std::size_t bar = line.find(L'|');
  for (int field = 1; bar != Text::npos; ++field, bar = line.find(L'|', bar + 1)) {
    if (field < 3 || field > 6) continue;
    Text mended = line;
    mended.erase(bar, 1);
    if (!FieldsFit(mended)) continue;
    int owner = field <= 3 ? 3 : 4;
    std::string name = owner == 3 ? "caption" : "font name";
    notes.push_back({"menu.inf", number, static_cast<long>(bar + 1),
                     "this \"|\" ends the " + name + " early: a " + name +
                         " cannot hold \"|\", so every field after it moves one place"});
    break;
  }
  return notes;
}

bool LacksFinalBar(const Text& line) {
  return !line.empty() && line.back() != L'|';
}

std::optional<long> ColourMeant(const Text& value) {
  Text v = value;
  while (!v.empty() && (v.back() == L' ' || v.back() == L'\t'))
    v.pop_back();
  while (!v.empty() && (v.front() == L' ' || v.front() == L'\t'))
    v.erase(0, 1);
  Text digits;
  bool rgb = false;
  if (v.size() > 2 && v[0] == L'0' && (v[1] == L'x' || v[1] == L'X')) {
    digits = v.substr(2);
  } else if (v.size() > 1 && v[0] == L'#') {
    digits = v.substr(1);
    rgb = true;
  } else if (v.size() > 2 && v[0] == L'&' && (v[1] == L'H' || v[1] == L'h')) {
    digits = v.substr(2);
    if (!digits.empty() && digits.back() == L'&') digits.pop_back();
  } else {
    return std::nullopt;
  }
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  unsigned long n = 0;
  for (wchar_t c : digits) {
    int d = c >= L'0' && c <= L'9'   ? c - L'0'
            : c >= L'a' && c <= L'f' ? c - L'a' + 10
            : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                     : -1;
    if (d < 0) return std::nullopt;
    n = n * 16 + static_cast<unsigned long>(d);
  }
  // #RRGGBB is the web's order; the file wants 0x00BBGGRR.
  if (rgb) n = ((n & 0xFF) << 16) | (n & 0xFF00) | ((n >> 16) & 0xFF);
  return static_cast<long>(n & 0xFFFFFF);
}

bool QuotedFile(const Text& file) {
  return !file.empty() && (file.front() == L'"' || file.back() == L'"');
}

std::optional<SeparatorReading> SeparatorDifference(const Text& value, bool whole) {
  if (value.find_first_of(L".,") == Text::npos) return std::nullopt;
  auto convert = [whole](const Text& v) -> double { return whole ? ToInt32(v) : ToSingle(v); };
  std::optional<double> point = ReadWith(L'.', value, convert), comma = ReadWith(L',', value, convert);
  if (point == comma) return std::nullopt;
  auto reads = [](const std::optional<double>& r) { return r ? "reads as " + Number(*r) : "is no number"; };
  return SeparatorReading{Utf8Quote(value) + " " + reads(point) +
                              " on a Windows that writes numbers with a decimal point, and " + reads(comma) +
                              " on one that writes them with a decimal comma" +
                              (whole ? "; write a whole number" : "; write it without a fraction"),
                          !point || !comma};
}

}  // namespace line_causes
