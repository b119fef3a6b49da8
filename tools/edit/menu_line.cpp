#include "tools/edit/menu_line.h"

const char* MenuFieldName(MenuField field) {
  static const char* const names[kMenuFieldCount] = {
      "page", "link", "caption", "font", "style", "colour", "highlight", "left", "top", "action", "argument"};
  return names[static_cast<std::size_t>(field)];
}

MenuLineFields SplitMenuLine(const Text& text, const std::vector<std::size_t>& offsets) {
  MenuLineFields line;
  const std::size_t lineBytes = offsets.back();
  std::size_t at = 0;
  while (line.fields.size() < kMenuFieldCount) {
    FieldSpan field;
    field.start = offsets[at];
    if (text.size() - at == 1) {  // the loader's rule: one character left is the field
      field.length = lineBytes - field.start;
      field.value = text.substr(at);
      at = text.size();
    } else {
      std::size_t bar = text.find(L'|', at);
      if (bar == Text::npos) break;
      field.length = offsets[bar] - field.start;
      field.barAfter = true;
      field.value = text.substr(at, bar - at);
      at = bar + 1;
    }
    line.fields.push_back(std::move(field));
  }
  line.restStart = at < text.size() ? offsets[at] : lineBytes;
  return line;
}
