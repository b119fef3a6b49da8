#include "menu/fields.h"

#include "platform/errors.h"

namespace {

// Where the first field ends: the whole of a one-character text, else the first bar.
std::size_t FieldEnd(const Text& text) {
  return text.size() == 1 ? 1 : text.find(L'|');
}

}  // namespace

void NextField(Text& field, Text& text) {
  std::size_t end = FieldEnd(text);
  if (end == Text::npos) {
    text.clear();
    throw AppError(ErrorKind::InvalidArgument);
  }
  field = text.substr(0, end);
  text.erase(0, end + 1);
}

void FirstField(const Text& text, Text& field) {
  std::size_t end = FieldEnd(text);
  if (end == Text::npos) throw AppError(ErrorKind::InvalidArgument);
  field.assign(text, 0, end);
}
