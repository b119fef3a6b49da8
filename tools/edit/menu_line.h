// A menu.inf line taken apart into fields exactly as the page loader takes it, with the bytes of each.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "platform/text.h"

enum class MenuField { Page, Link, Caption, Font, Style, Colour, Highlight, Left, Top, Action, Argument };
constexpr std::size_t kMenuFieldCount = 11;
const char* MenuFieldName(MenuField field);  // "caption", "left", ...; also what `set` scripts write

// One field: its bytes from the line's start, and whether a bar ends it. A rest of one character is a whole
// field with no bar, even a lone bar.
struct FieldSpan {
  std::size_t start = 0;
  std::size_t length = 0;
  bool barAfter = false;
  Text value;
};

struct MenuLineFields {
  std::vector<FieldSpan> fields;  // as many as the loader can take off, at most kMenuFieldCount
  std::size_t restStart = 0;      // what follows them: trailing fields, or a field with no bar to end it
  bool Has(MenuField field) const { return static_cast<std::size_t>(field) < fields.size(); }
  const FieldSpan& operator[](MenuField field) const { return fields.at(static_cast<std::size_t>(field)); }
};

// `offsets` holds the byte offset of each character of `text` and, last, the line's length in bytes.
MenuLineFields SplitMenuLine(const Text& text, const std::vector<std::size_t>& offsets);
