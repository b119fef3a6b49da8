#include "menu/modRoutines.h"

#include "menu/fields.h"
#include "menu/frmMenu.h"
#include "menu/keyboard.h"
#include "menu/modMouseGlobal.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"

std::array<Text, kLinkCount> linkActions;

namespace {

LoadPosition position;

// The link index stays text and is converted anew where it is used; a text that is no index of a label
// names no label.
Label& PickLabel(const Text& linkIndex) {
  int16_t index;
  try {
    index = ToInt16(linkIndex);
  } catch (const AppError&) {
    throw AppError(ErrorKind::NoSuchControl);
  }
  return lblLink(index);
}

Text& PickAction(const Text& linkIndex) {
  int32_t index = ToInt32(linkIndex);
  if (index < 0 || index >= kLinkCount) throw AppError(ErrorKind::SubscriptOutOfRange);
  return linkActions[static_cast<std::size_t>(index)];
}

bool TakesArgument(int type) {
  return type == 0 || type == 1 || type == 2 || type == 3 || type == 5 || type == 8;
}

// Takes the line apart; it is left in pieces. `pageField` is scratch space kept from line to line.
void LoadLine(Text& line, int16_t page, Text& pageField) {
  // Most lines of a large file belong to other pages: look at their page field without taking it off.
  position.field = 1;
  FirstField(line, pageField);
  if (ToDouble(pageField) != page) return;
  Text field;
  NextField(field, line);

  Text linkIndex;
  position.field = 2;
  NextField(linkIndex, line);
  position.field = 3;
  NextField(field, line);
  position.field = 2;  // the caption goes to the label the link index names
  PickLabel(linkIndex).SetCaption(field);
  position.field = 4;
  NextField(field, line);
  PickLabel(linkIndex).SetFontName(field);

  Text style;
  position.field = 5;
  NextField(style, line);
  Label& label = PickLabel(linkIndex);
  label.SetFontBold(ToFlag(Mid(style, 1, 1)));
  label.SetFontItalic(ToFlag(Mid(style, 2, 1)));
  if (Mid(style, 2, 1) == L"1") label.SetWidth(label.Width() + 200);
  label.SetFontSize(ToSingle(Mid(style, 3)));

  position.field = 6;
  NextField(field, line);
  label.SetForeColor(ToInt32(field));
  position.field = 7;
  NextField(field, line);
  label.SetTag(field);
  position.field = 8;
  NextField(field, line);
  label.SetLeft(ToSingle(field));
  position.field = 9;
  NextField(field, line);
  label.SetTop(ToSingle(field));

  Text type;
  position.field = 10;
  NextField(type, line);
  double typeValue = ToDouble(type);
  for (int candidate = 0; candidate <= 8; ++candidate) {
    if (typeValue != candidate) continue;
    position.field = 2;  // the entry the link index names
    PickAction(linkIndex) = TakesArgument(candidate) ? type + L"|" + line : type;
    break;
  }

  if (label.FontItalic()) label.SetWidth(label.Width() + 250);
  label.SetVisible(true);
}

}  // namespace

void HideAllLinks() {
  for (int i = 0; i < kLinkCount; ++i)
    lblLink(i).SetVisible(false);
}

LoadPosition LastLoadPosition() {
  return position;
}

namespace {
// However a load ends, the links shown have changed.
struct LinksChangedNotice {
  ~LinksChangedNotice() { Sys().LinksChanged(); }
};
}  // namespace

void LoadMenuPage(const int16_t& page) {
  position = LoadPosition();
  menuKeyboard.NewPage();
  LinksChangedNotice notice;
  HideAllLinks();
  menuReady = false;
  FileCloser closer;
  FileOpen(frmMain.appPath + L"menu.inf");
  auto actionsBefore = linkActions;
  try {
    Text line, pageField;
    while (!AtEndOfFile()) {
      position.field = 0;
      LineInput(line);
      position.line = LinesRead();
      if (line.empty()) continue;
      LoadLine(line, page, pageField);
    }
  } catch (...) {
    // A read that fails part-way (a scratched disc) makes the file unreadable as a whole, as if it could
    // not be opened: nothing of it is shown or stored, so no link acts on a line cut short.
    if (ReadFailed()) {
      HideAllLinks();
      linkActions = actionsBefore;
    }
    throw;
  }
  FileClose();
  menuReady = true;
  frmMenu.changeMO = false;
}
