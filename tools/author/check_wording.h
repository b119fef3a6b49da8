// How the check words what it found: the pieces its messages share, in the author's terms.
#pragma once

#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/textfile.h"

namespace wording {

std::string Utf8(const Text& text);
std::string Quote(const Text& text);  // "text", in double quotes
// 1, 3-7, 9: runs of three or more read as a range.
std::string Numbers(const std::vector<int>& values);
// "3 links", "1 link".
std::string Count(std::size_t count, const std::string& one, const std::string& many);
// The name of field `field` (1-based) of a menu.inf line: "caption", "top", ...
std::string FieldName(int field);
// Why a page load stopped at a field holding `value`.
std::string LoadStop(ErrorKind kind, int field, const Text& value);
std::string Encoding(TextEncoding encoding, const std::string& codePage);
std::string Twips(const TwipRect& rect);  // "900,600 to 2100,855 twips"

}  // namespace wording
