// Conversions of configuration text to numbers, as the platform's standard conversion does them in practice:
// surrounding blanks, a sign, the user's decimal separator, an exponent, and &H / &O integers. An empty or
// non-numeric text is a type mismatch; a value outside the target type an overflow.
#pragma once

#include <cstdint>

#include "platform/text.h"

// The user's decimal separator; the start-up takes it from the platform.
void SetDecimalSeparator(wchar_t separator);
wchar_t DecimalSeparator();

double ToDouble(const Text& s);  // for comparisons: 0, 00 and 0.0 are equal
float ToSingle(const Text& s);   // positions and font sizes
int16_t ToInt16(const Text& s);  // nearest integer, a half to the even neighbour
int32_t ToInt32(const Text& s);  // likewise, for colours and table indices
bool ToFlag(const Text& s);      // 0 false, any other number true

// The decimal text of a whole number: a minus sign for a negative value, no blanks, no leading zeros.
Text ToDecimalText(int32_t value);
