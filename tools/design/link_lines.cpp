#include "tools/design/link_lines.h"

#include <algorithm>
#include <cmath>

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

std::vector<int> PageLines::FreeLinks() const {
  std::vector<int> free;
  for (int link = 0; link < kLinkCount; ++link)
    if (lines_[static_cast<std::size_t>(link)] == kNoLine) free.push_back(link);
  return free;
}

std::vector<int> PagesOf(const TextDocument& document) {
  std::vector<int> pages;
  MenuEditor menu(const_cast<TextDocument&>(document));
  for (std::size_t line = 0; line < document.LineCount(); ++line) {
    MenuLineFields fields = menu.Fields(line);
    if (fields.fields.empty()) continue;
    try {
      double page = ToDouble(fields[MenuField::Page].value);
      if (page >= 0 && page <= 32767 && page == std::floor(page)) pages.push_back(static_cast<int>(page));
    } catch (const AppError&) {
    }
  }
  std::sort(pages.begin(), pages.end());
  pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
  return pages;
}
