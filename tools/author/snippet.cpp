#include "tools/author/snippet.h"

#include <cstdio>

#include "tools/author/char_cells.h"

namespace {

const std::size_t kTab = 8;

// Characters a terminal would act on rather than show: C0 and C1 controls, and the direction overrides that
// would reorder the rest of the line on screen.
bool SpelledOut(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

std::string CodePoint(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
  return name;
}

// Walks UTF-8 text a character at a time; a byte that starts no character is given alone.
template <typename Visit>
void EachCharacter(const std::string& text, Visit visit) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t c = 0;
    int length = NextCharacter(bytes + at, text.size() - at, &c);
    if (length <= 0) {
      visit(std::string(1, text[at]), 0xFFFFFFFFu);
      ++at;
      continue;
    }
    visit(text.substr(at, static_cast<std::size_t>(length)), c);
    at += static_cast<std::size_t>(length);
  }
}

std::string ByteEscape(unsigned char byte) {
  char name[8];
  std::snprintf(name, sizeof name, "\\x%02X", byte);
  return name;
}

}  // namespace

Snippet::Snippet(const std::string& utf8Line) {
  std::size_t cell = 0;
  EachCharacter(utf8Line, [&](const std::string& bytes, char32_t c) {
    Shown shown;
    if (c == 0xFFFFFFFFu) {
      shown = {"\xEF\xBF\xBD", 1};  // U+FFFD, as the line was meant to be UTF-8 already
    } else if (c == '\t') {
      std::size_t spaces = kTab - cell % kTab;
      shown = {std::string(spaces, ' '), spaces};
    } else if (SpelledOut(c)) {
      shown = {CodePoint(c), 8};
    } else {
      int width = CharacterCells(c);
      shown = width < 0 ? Shown{CodePoint(c), 8} : Shown{bytes, static_cast<std::size_t>(width)};
    }
    cell += shown.cells;
    characters_.push_back(std::move(shown));
  });
}

std::string Snippet::Render(long column, const std::string& fix) const {
  std::size_t caret = column < 1 ? 0 : static_cast<std::size_t>(column - 1);
  if (caret > characters_.size()) caret = characters_.size();

  // The cells before each character, so a cut can be placed around the caret.
  std::vector<std::size_t> startCell(characters_.size() + 1, 0);
  for (std::size_t i = 0; i < characters_.size(); ++i)
    startCell[i + 1] = startCell[i] + characters_[i].cells;

  std::size_t first = 0, last = characters_.size();
  const std::string kCut = "...";
  if (startCell.back() > kMaxCells) {
    // About a third of the room before the caret, the rest after it.
    std::size_t before = kMaxCells / 3;
    while (first < caret && startCell[caret] - startCell[first] > before)
      ++first;
    last = first;
    while (last < characters_.size() && startCell[last + 1] - startCell[first] <= kMaxCells)
      ++last;
  }

  std::string line = "  " + std::string(first > 0 ? kCut : "");
  for (std::size_t i = first; i < last; ++i)
    line += characters_[i].text;
  if (last < characters_.size()) line += kCut;

  std::size_t indent = startCell[caret] - startCell[first] + (first > 0 ? kCut.size() : 0);
  std::string out = line + "\n  " + std::string(indent, ' ') + "^\n";
  if (!fix.empty()) out += "  " + std::string(indent, ' ') + Printable(fix) + "\n";
  return out;
}

std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  EachCharacter(text, [&](const std::string& bytes, char32_t c) {
    if (c == 0xFFFFFFFFu)
      out += ByteEscape(static_cast<unsigned char>(bytes[0]));
    else if (SpelledOut(c))
      out += CodePoint(c);
    else
      out += bytes;
  });
  return out;
}
