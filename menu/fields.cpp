#include "menu/fields.h"

#include "platform/errors.h"

void NextField(Text& field, Text& text) {
  if (text.size() == 1) {
    field = text;
    text.clear();
    return;
  }
  std::size_t bar = text.find(L'|');
  if (bar == Text::npos) {
    text.clear();
    throw AppError(ErrorKind::InvalidArgument);
  }
  field = text.substr(0, bar);
  text.erase(0, bar + 1);
}
