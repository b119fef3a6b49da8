#include "tools/design/page_edits.h"

#include <vector>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "tools/design/link_lines.h"
#include "tools/edit/menu_editor.h"

namespace {

// The lines whose page field reads as `page`, in order.
std::vector<std::size_t> LinesOfPage(const TextDocument& document, int page) {
  std::vector<std::size_t> lines;
  MenuEditor menu(const_cast<TextDocument&>(document));
  for (std::size_t line = 0; line < document.LineCount(); ++line) {
    MenuLineFields fields = menu.Fields(line);
    if (fields.fields.empty()) continue;
    try {
      if (ToDouble(fields[MenuField::Page].value) == page) lines.push_back(line);
    } catch (const AppError&) {
    }
  }
  return lines;
}

Text Number(long value) {
  return ToDecimalText(static_cast<int32_t>(value));
}

}  // namespace

int AddLink(TextDocument& menu, int page, const TwipPoint& at, const Text& caption) {
  std::vector<int> free = PageLines(menu, page).FreeLinks();
  if (free.empty()) return -1;
  std::vector<std::size_t> lines = LinesOfPage(menu, page);
  std::size_t where = lines.empty() ? menu.LineCount() : lines.back() + 1;
  MenuLinkValues values = {
      Number(page), Number(free.front()), caption,        L"Verdana", L"0012", L"16777215",
      L"65535",     Number(at.left),      Number(at.top), L"7",       L""};
  MenuEditor(menu).InsertLink(where, values);
  return free.front();
}

int DuplicateLink(TextDocument& menu, std::size_t line, int page, const TwipPoint& at) {
  std::vector<int> free = PageLines(menu, page).FreeLinks();
  if (free.empty()) return -1;
  MenuEditor editor(menu);
  TextDocument::Group step(menu);
  editor.DuplicateLine(line);
  editor.SetField(line + 1, MenuField::Link, Number(free.front()));
  editor.SetField(line + 1, MenuField::Left, Number(at.left));
  editor.SetField(line + 1, MenuField::Top, Number(at.top));
  return free.front();
}

void DeleteLink(TextDocument& menu, std::size_t line) {
  MenuEditor(menu).DeleteLine(line);
}

int AddPage(TextDocument& menu) {
  std::vector<int> pages = PagesOf(menu);
  int page = pages.empty() ? 0 : pages.back() + 1;
  AddLink(menu, page, TwipPoint{600, 600}, L"Page " + Number(page));
  return page;
}

int DuplicatePage(TextDocument& menu, int page) {
  std::vector<int> pages = PagesOf(menu);
  int copy = pages.empty() ? 0 : pages.back() + 1;
  MenuEditor editor(menu);
  TextDocument::Group step(menu);
  for (std::size_t line : LinesOfPage(menu, page)) {
    editor.InsertLine(menu.LineCount(), menu.LineText(line));
    editor.SetField(menu.LineCount() - 1, MenuField::Page, Number(copy));
  }
  return copy;
}

std::size_t DeletePage(TextDocument& menu, int page) {
  std::vector<std::size_t> lines = LinesOfPage(menu, page);
  MenuEditor editor(menu);
  TextDocument::Group step(menu);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    editor.DeleteLine(*line);
  return lines.size();
}
