#include "tools/design/link_lines.h"

#include <algorithm>
#include <cmath>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "tools/edit/menu_editor.h"

namespace {

// The bytes of a line up to its first bar, decoded: most lines of a large file belong to other pages, and
// the loader too looks at nothing else of them. Only a line whose text there reads as another page is
// skipped on it; anything else (a trail byte that is a bar, a lone bar) is taken apart in full. False for a
// blank line.
bool PageField(const TextDocument& document, std::size_t line, Text& field) {
  const LineSpan& span = document.Line(line);
  if (span.length == 0) return false;
  const std::string& bytes = document.Bytes();
  std::size_t end = bytes.find('|', span.start);
  if (end == std::string::npos || end > span.start + span.length) end = span.start + span.length;
  field = document.Decode(bytes.data() + span.start, end - span.start);
  return true;
}

}  // namespace

PageLines::PageLines(const TextDocument& document, int page, std::size_t lastLine) {
  lines_.fill(kNoLine);
  // Reading is all the editor does here; it takes a document it may change.
  MenuEditor menu(const_cast<TextDocument&>(document));
  Text pageField;
  for (std::size_t line = 0; line < document.LineCount() && line <= lastLine; ++line) {
    if (!PageField(document, line, pageField)) continue;
    try {
      if (ToDouble(pageField) != page) continue;
    } catch (const AppError&) {
    }
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
