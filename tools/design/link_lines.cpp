#include "tools/design/link_lines.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "tools/edit/menu_editor.h"

PageLines::PageLines(const TextDocument& document, int page, std::size_t lastLine) {
  lines_.fill(kNoLine);
  // Reading is all the editor does here; it takes a document it may change.
  MenuEditor menu(const_cast<TextDocument&>(document));
  for (std::size_t line = 0; line < document.LineCount() && line <= lastLine; ++line) {
    MenuLineFields fields = menu.Fields(line);
    if (fields.fields.empty()) continue;
    try {
      if (ToDouble(fields[MenuField::Page].value) != page) continue;
    } catch (const AppError&) {
      return;  // the loader stops at a page field that is no number
    }
    if (!fields.Has(MenuField::Link)) return;
    int link = -1;
    try {
      link = ToInt16(fields[MenuField::Link].value);
    } catch (const AppError&) {
      return;
    }
    if (link < 0 || link >= kLinkCount) return;
    lines_[static_cast<std::size_t>(link)] = line;
  }
}

std::size_t PageLines::LineOf(int link) const {
  if (link < 0 || link >= kLinkCount) return kNoLine;
  return lines_[static_cast<std::size_t>(link)];
}

int PageLines::LinkOf(std::size_t line) const {
  for (int link = 0; link < kLinkCount; ++link)
    if (lines_[static_cast<std::size_t>(link)] == line) return link;
  return -1;
}
