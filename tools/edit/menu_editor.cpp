#include "tools/edit/menu_editor.h"

#include <algorithm>

#include "tools/edit/edit_error.h"

namespace {

MenuLineFields SplitBytes(const TextDocument& document, const std::string& bytes) {
  Text text;
  std::vector<std::size_t> offsets;
  document.Characters(bytes.data(), bytes.size(), text, offsets);
  return SplitMenuLine(text, offsets);
}

// True when the loader reads the edited line as the old one with `field` now `value`, and the text after
// the fields is the same.
bool ReadsAsIntended(const MenuLineFields& before,
                     const std::string& oldLine,
                     const MenuLineFields& after,
                     const std::string& newLine,
                     std::size_t field,
                     const Text& value) {
  if (after.fields.size() < std::max(before.fields.size(), field + 1)) return false;
  if (after.fields[field].value != value) return false;
  for (std::size_t i = 0; i < before.fields.size(); ++i)
    if (i != field && after.fields[i].value != before.fields[i].value) return false;
  bool restKept = field == before.fields.size() ||
                  oldLine.compare(before.restStart, std::string::npos, newLine, after.restStart) == 0;
  return restKept;
}

}  // namespace

void CheckFieldText(const Text& value) {
  if (value.find_first_of(L"|\r\n") != Text::npos)
    throw EditError(EditRefusal::TextBreaksLine, "a field cannot hold a bar or a line end", value);
}

void MenuEditor::CheckLine(std::size_t line) const {
  if (line >= document_.LineCount())
    throw EditError(EditRefusal::NoSuchLine, "menu.inf has no line " + std::to_string(line + 1));
}

MenuLineFields MenuEditor::Fields(std::size_t line) const {
  CheckLine(line);
  Text text;
  std::vector<std::size_t> offsets;
  document_.LineCharacters(line, text, offsets);
  return SplitMenuLine(text, offsets);
}

Text MenuEditor::Field(std::size_t line, MenuField field) const {
  MenuLineFields fields = Fields(line);
  if (!fields.Has(field))
    throw EditError(EditRefusal::LineEndsEarly, "line " + std::to_string(line + 1) + " ends before its " +
                                                    MenuFieldName(field) + " field");
  return fields[field].value;
}

void MenuEditor::SetField(std::size_t line, MenuField field, const Text& value) {
  CheckFieldText(value);
  MenuLineFields before = Fields(line);
  const std::string oldLine = document_.LineBytes(line);
  if (document_.LineText(line).empty())
    throw EditError(EditRefusal::NotAMenuLine, "line " + std::to_string(line + 1) + " is blank");
  const auto index = static_cast<std::size_t>(field);
  if (index > before.fields.size())
    throw EditError(EditRefusal::LineEndsEarly, "line " + std::to_string(line + 1) + " ends before its " +
                                                    MenuFieldName(field) + " field");
  const std::string text = document_.Encode(value), bar = document_.Encode(L"|");

  // What is replaced, and the ways of writing the new field, plainest first.
  std::size_t start, length;
  std::vector<std::string> candidates;
  if (index < before.fields.size()) {
    const FieldSpan& old = before.fields[index];
    start = old.start;
    length = old.length;
    candidates = {text};
    if (!old.barAfter) candidates.push_back(text + bar);
  } else {  // the next field: it takes the place of whatever unfinished text the line ends with
    start = before.restStart;
    length = oldLine.size() - start;
    bool lastHasBar = before.fields.empty() || before.fields.back().barAfter;
    candidates = {(lastHasBar ? "" : bar) + text + bar};
  }
  for (const std::string& candidate : candidates) {
    std::string newLine = oldLine;
    newLine.replace(start, length, candidate);
    if (!ReadsAsIntended(before, oldLine, SplitBytes(document_, newLine), newLine, index, value)) continue;
    document_.Replace(document_.Line(line).start + start, length, candidate);
    return;
  }
  throw EditError(EditRefusal::FieldUnreadable,
                  "the program would not read the " + std::string(MenuFieldName(field)) + " of line " +
                      std::to_string(line + 1) + " as written",
                  value);
}

void MenuEditor::InsertLink(std::size_t index, const MenuLinkValues& values) {
  Text text;
  for (std::size_t i = 0; i < kMenuFieldCount; ++i) {
    CheckFieldText(values[i]);
    if (i + 1 == kMenuFieldCount && values[i].empty()) break;
    text += values[i] + L"|";
  }
  std::string bytes = document_.Encode(text);
  MenuLineFields fields = SplitBytes(document_, bytes);
  std::size_t expected = values.back().empty() ? kMenuFieldCount - 1 : kMenuFieldCount;
  for (std::size_t i = 0; i < expected; ++i)
    if (i >= fields.fields.size() || fields.fields[i].value != values[i])
      throw EditError(EditRefusal::FieldUnreadable,
                      "the program would not read the new link's " +
                          std::string(MenuFieldName(static_cast<MenuField>(i))) + " as written",
                      values[i]);
  InsertLineBytes(index, bytes);
}

void MenuEditor::InsertLine(std::size_t index, const Text& text) {
  if (text.find_first_of(L"\r\n") != Text::npos)
    throw EditError(EditRefusal::TextBreaksLine, "a line cannot hold a line end", text);
  InsertLineBytes(index, document_.Encode(text));
}

void MenuEditor::DuplicateLine(std::size_t line) {
  CheckLine(line);
  InsertLineBytes(line + 1, document_.LineBytes(line));
}

void MenuEditor::InsertLineBytes(std::size_t index, const std::string& bytes) {
  const std::size_t count = document_.LineCount();
  if (index > count)
    throw EditError(EditRefusal::NoSuchLine, "menu.inf has no line " + std::to_string(index));
  if (index == count && count > 0 && document_.Line(count - 1).endLength == 0) {
    // After a last line with no line end: the new line becomes the last, with none either.
    document_.Replace(document_.Line(count - 1).End(), 0, document_.LineEndNear(count - 1) + bytes);
    return;
  }
  // The line end of the line before it: a lone CR there is never followed by an LF, so the new line end
  // cannot join with what follows.
  std::string end = document_.LineEndNear(index == 0 ? 0 : index - 1);
  std::size_t at = index == 0 ? document_.MarkLength() : document_.Line(index - 1).End();
  document_.Replace(at, 0, bytes + end);
}

void MenuEditor::DeleteLine(std::size_t line) {
  CheckLine(line);
  const LineSpan& span = document_.Line(line);
  if (span.endLength == 0 && line > 0) {
    // The last line, without a line end: the line before it takes its place as the last, as it ends.
    const LineSpan& previous = document_.Line(line - 1);
    std::size_t from = previous.start + previous.length;
    document_.Replace(from, span.End() - from, "");
    return;
  }
  document_.Replace(span.start, span.End() - span.start, "");
}
