// Why a line of menu.inf reads other than its author meant, found in its text: the real cause when fields
// shift (a bar inside a caption, a tab where a bar belongs), a missing final bar, a colour written in another
// notation, a number that reads differently with the other decimal separator. The verdicts stay the
// program's; these only explain them and say what to write.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/author/check.h"

namespace line_causes {

// True when the fields a line's numbers go in hold numbers the program reads, in its own conversions.
bool FieldsFit(const Text& line);

// Notes at the place a shift began: a bar that ends a caption or font name early, or a tab where a bar
// belongs. Nothing when the line's fields fit.
std::vector<FindingNote> ShiftCauses(const Text& line, long number);

// The program drops the last character of an argument, taking it for the final bar: true when that
// character is not a bar.
bool LacksFinalBar(const Text& line);

// The decimal number a colour written as 0xBBGGRR, #RRGGBB or &HBBGGRR& means.
std::optional<long> ColourMeant(const Text& value);

// A launch command whose file is in quotes, which the program takes as part of the name.
bool QuotedFile(const Text& file);

// What a number field reads as with a decimal point and with a decimal comma, when the two differ:
// "with a decimal point it reads as 256; on a Windows that writes a decimal comma it is no number".
struct SeparatorReading {
  std::string words;
  bool failsOnOne = false;  // no number with one of the two separators: the page stops on those Windows
};
std::optional<SeparatorReading> SeparatorDifference(const Text& value, bool whole);

}  // namespace line_causes
