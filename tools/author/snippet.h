// A source line shown under a diagnostic as a terminal draws it, with a caret under a column: control
// characters spelled out, tabs expanded, wide characters taking two cells, very long lines cut around the
// caret.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Snippet {
 public:
  explicit Snippet(const std::string& utf8Line);

  // Two lines, each indented by two blanks: the source line and the caret under `column` (1-based, in
  // characters; past the end points just after the last character). With a fix, a third line holds it,
  // starting under the caret, as a compiler's fix-it hint.
  std::string Render(long column, const std::string& fix = "") const;

  // Longest source line shown, in terminal cells; a longer line is cut around the caret.
  static constexpr std::size_t kMaxCells = 120;

 private:
  struct Shown {
    std::string text;  // as printed: the character, spaces for a tab, or <U+001B>
    std::size_t cells;
  };
  std::vector<Shown> characters_;
};

// Text for a terminal: control characters as <U+001B>, bytes that are not UTF-8 as \xFE. For file names and
// messages, which may hold either.
std::string Printable(const std::string& text);
