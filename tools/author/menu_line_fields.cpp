#include "tools/author/menu_line_fields.h"

#include "menu/fields.h"
#include "platform/errors.h"

long FieldColumn(const Text& line, int field) {
  Text rest = line, taken;
  for (int i = 1; i < field; ++i) {
    try {
      NextField(taken, rest);
    } catch (const AppError&) {
      return static_cast<long>(line.size()) + 1;
    }
  }
  return static_cast<long>(line.size() - rest.size()) + 1;
}

bool FieldOf(const Text& line, int field, Text* value) {
  Text rest = line;
  try {
    for (int i = 1; i <= field; ++i)
      NextField(*value, rest);
  } catch (const AppError&) {
    return false;
  }
  return true;
}

Text FieldText(const Text& line, int field) {
  Text value;
  FieldOf(line, field, &value);
  return value;
}
