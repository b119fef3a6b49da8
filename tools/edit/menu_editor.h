// Edits of menu.inf: one field of a line, or whole lines. Each changes the bytes of what it edits and no
// other, and is one step of the document's undo.
#pragma once

#include <array>
#include <cstddef>

#include "tools/edit/menu_line.h"
#include "tools/edit/text_document.h"

using MenuLinkValues = std::array<Text, kMenuFieldCount>;  // indexed by MenuField

class MenuEditor {
 public:
  explicit MenuEditor(TextDocument& document) : document_(document) {}

  // The fields of a line (0-based, blank lines counted) as the page loader takes them apart; none for a
  // blank line, which the loader skips.
  MenuLineFields Fields(std::size_t line) const;
  // Throws EditError (LineEndsEarly) when the line lacks the field.
  Text Field(std::size_t line, MenuField field) const;

  // Rewrites one field. A field the line lacks may be set when it is the next one the line would have;
  // where the old field had no bar after it, one is added if the loader needs it to read the new text.
  void SetField(std::size_t line, MenuField field, const Text& value);
  // A new link line at `index` (0 to LineCount()), written with a bar after every field; an empty
  // argument is left out (the types that take none).
  void InsertLink(std::size_t index, const MenuLinkValues& values);
  // A line of any text at `index`, with the line end of the line before it.
  void InsertLine(std::size_t index, const Text& text);
  // A copy of a line, byte for byte, right after it.
  void DuplicateLine(std::size_t line);
  void DeleteLine(std::size_t line);

 private:
  void CheckLine(std::size_t line) const;
  // Inserts a whole line (its bytes without a line end) at `index`.
  void InsertLineBytes(std::size_t index, const std::string& bytes);

  TextDocument& document_;
};

// Refuses text that would not stay one field: a bar, a CR or an LF.
void CheckFieldText(const Text& value);
