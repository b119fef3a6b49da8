// The fields of a menu.inf line as the program takes them off, for pointing at them: where one starts and
// what it holds.
#pragma once

#include "platform/text.h"

// Where field `field` (1-based) starts, 1-based; past the line's end when the line ends before it.
long FieldColumn(const Text& line, int field);
// Field `field`, or false when the line ends before it.
bool FieldOf(const Text& line, int field, Text* value);
// Field `field`, or nothing.
Text FieldText(const Text& line, int field);
