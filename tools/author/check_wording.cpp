#include "tools/author/check_wording.h"

#include <cmath>
#include <sstream>

namespace wording {

std::string Utf8(const Text& text) {
  return ToUtf8(text);
}

std::string Quote(const Text& text) {
  return "\"" + ToUtf8(text) + "\"";
}

std::string Numbers(const std::vector<int>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::size_t j = i;
    while (j + 1 < values.size() && values[j + 1] == values[j] + 1)
      ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(values[i]);
    if (j >= i + 2) {
      out += "-" + std::to_string(values[j]);
      i = j;
    }
  }
  return out;
}

std::string Count(std::size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string FieldName(int field) {
  static const char* const kNames[] = {"line",      "page field", "link index",  "caption",
                                       "font name", "style",      "text colour", "highlight colour",
                                       "left",      "top",        "action type", "action argument"};
  return field >= 1 && field <= 11 ? kNames[field] : kNames[0];
}

std::string LoadStop(ErrorKind kind, int field, const Text& value) {
  std::string name = FieldName(field);
  switch (kind) {
    case ErrorKind::InvalidArgument:
      return field <= 1 ? "the line has no \"|\" after its page field" : "the line ends before its " + name;
    case ErrorKind::TypeMismatch:
      if (field == 5) return "the style " + Quote(value) + " is not a bold flag, an italic flag and a size";
      return "the " + name + " " + Quote(value) + " is not a number";
    case ErrorKind::Overflow:
      return "the " + name + " " + Quote(value) + " is out of range";
    case ErrorKind::NoSuchControl:
    case ErrorKind::SubscriptOutOfRange:
      return "the link index " + Quote(value) + " names no link; links are 0 to 49";
    default:
      return std::string("the line fails (") + ErrorKindName(kind) + ")";
  }
}

std::string Encoding(TextEncoding encoding, const std::string& codePage) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf8WithMark:
      return "UTF-8 with a mark";
    case TextEncoding::Utf16Le:
      return "UTF-16 LE";
    default:
      return "ANSI (" + codePage + ")";
  }
}

std::string Twips(const TwipRect& r) {
  std::ostringstream out;
  out << std::lround(r.left) << "," << std::lround(r.top) << " to " << std::lround(r.left + r.width) << ","
      << std::lround(r.top + r.height) << " twips";
  return out.str();
}

}  // namespace wording
