#include "tools/edit/kavo_editor.h"

#include "tools/edit/edit_error.h"

const char* KavoLineName(KavoLine line) {
  static const char* const names[kKavoLineCount] = {"flags", "splash", "launch", "menu", "music", "hover"};
  return names[static_cast<int>(line)];
}

Text KavoEditor::Line(KavoLine line) const {
  auto index = static_cast<std::size_t>(line);
  return index < document_.LineCount() ? document_.LineText(index) : Text();
}

void KavoEditor::SetLine(KavoLine line, const Text& value) {
  if (value.find_first_of(L"\r\n") != Text::npos)
    throw EditError(EditRefusal::TextBreaksLine, "a line of kavo.inf cannot hold a line end", value);
  const std::string text = document_.Encode(value);
  const auto index = static_cast<std::size_t>(line);
  const std::size_t count = document_.LineCount();
  if (index < count) {
    const LineSpan& span = document_.Line(index);
    document_.Replace(span.start, span.length, text);
    return;
  }
  const std::string end = document_.LineEndNear(count == 0 ? 0 : count - 1);
  const bool endsOpen = count > 0 && document_.Line(count - 1).endLength == 0;
  std::string added = endsOpen ? end : "";
  for (std::size_t blank = count; blank < index; ++blank)
    added += end;
  added += text;
  if (!endsOpen) added += end;
  document_.Replace(count == 0 ? document_.MarkLength() : document_.Line(count - 1).End(), 0, added);
}

void KavoEditor::SetFlags(bool splash, bool launch, bool menu) {
  Text flags = {splash ? L'1' : L'0', launch ? L'1' : L'0', menu ? L'1' : L'0'};
  SetLine(KavoLine::Flags, flags);
}
