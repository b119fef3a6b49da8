// The link panel's fields: shown from the state the designer gives, and reported when the author commits
// a change.
#include "tools/design/link_panel.h"

#include <algorithm>
#include <climits>

#include "launch/launch.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "tools/design/action_types.h"
#include "tools/design/colour_field.h"
#include "tools/design/disc_file_dialog.h"
#include "tools/design/link_panel_ids.h"
#include "tools/design/style_field.h"
#include "tools/design/system_dialogs.h"

namespace {

Text DescribeFont(const Text& face, const Text& styleField) {
  StyleField style = ReadStyleField(styleField);
  if (!style.readable) return face + L", style not readable: \"" + styleField + L"\"";
  Text text = face + L", " + style.sizeText + L" pt";
  if (style.bold) text += L", bold";
  if (style.italic) text += L", italic";
  return text;
}

// The field's number when it is written as the panel would write it ("7", not "07").
std::optional<int> PlainNumber(const Text& field) {
  try {
    int32_t value = ToInt32(field);
    if (ToDecimalText(value) == field) return value;
  } catch (const AppError&) {
  }
  return std::nullopt;
}

HWND Root(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  return root ? root : window;
}

LPARAM SelectedData(HWND combo) {
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return kAsWritten;
  return SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void AddItem(HWND combo, const Text& text, LPARAM data, bool select) {
  LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
  if (select) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

const int kLinkControls[] = {kDuplicateLink,  kDeleteLink,    kCaptionLabel,  kCaption,   kCaptionHint,
                             kFontLabel,      kFont,          kColour,        kHighlight, kActionLabel,
                             kAction,         kArgumentLabel, kArgument,      kBrowse,    kArgumentHint,
                             kLinkIndexLabel, kLinkIndex,     kLinkPageLabel, kLinkPage};

}  // namespace

const Text& LinkPanel::Value(MenuField field) const {
  static const Text none;
  return state_.link ? (*state_.link)[static_cast<std::size_t>(field)] : none;
}

void LinkPanel::Show(const LinkPanelState& state) {
  state_ = state;
  startupShown_ = static_cast<bool>(onStartupSettings);
  if (!hasControls_) return;
  showing_ = true;
  ShowWindow(Control(kStartup), startupShown_ ? SW_SHOW : SW_HIDE);
  ShowPages();
  ShowLink();
  showing_ = false;
  FitScroll();
  // Hints of another length move the controls below them.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void LinkPanel::FillNumberCombo(HWND combo, const std::vector<int>& numbers, const Text& own) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  std::vector<int> sorted = numbers;
  std::optional<int> ownNumber = PlainNumber(own);
  if (ownNumber) sorted.push_back(*ownNumber);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  // A field that is no plain number stays as written, first.
  if (!ownNumber && !own.empty()) AddItem(combo, own, kAsWritten, true);
  for (int number : sorted)
    AddItem(combo, ToDecimalText(number), number, ownNumber && *ownNumber == number);
}

void LinkPanel::ShowPages() {
  FillNumberCombo(Control(kPageShown), state_.pages, ToDecimalText(state_.shownPage));
  EnableWindow(Control(kDuplicatePage), !state_.pages.empty());
  EnableWindow(Control(kDeletePage), !state_.pages.empty());
}

void LinkPanel::ShowLink() {
  bool selected = state_.link.has_value();
  for (int id : kLinkControls)
    EnableWindow(Control(id), selected);
  SetWindowTextIfChanged(Control(kLinkStatus),
                         selected ? L"Link " + Value(MenuField::Link) + L" of page " + Value(MenuField::Page)
                                  : L"No link selected: click one on the page, or add one.");
  SetWindowTextIfChanged(Control(kCaption), Value(MenuField::Caption));
  SetWindowTextIfChanged(Control(kFont),
                         selected ? DescribeFont(Value(MenuField::Font), Value(MenuField::Style)) : Text());
  SetWindowTextIfChanged(
      Control(kColour),
      L"Te&xt colour: " + (selected ? DescribeColourField(Value(MenuField::Colour)) : Text()));
  SetWindowTextIfChanged(
      Control(kHighlight),
      L"&Highlight: " + (selected ? DescribeColourField(Value(MenuField::Highlight)) : Text()));
  InvalidateRect(Control(kColour), nullptr, FALSE);
  InvalidateRect(Control(kHighlight), nullptr, FALSE);
  FillActions(Value(MenuField::Action));
  SetWindowTextIfChanged(Control(kArgument), Value(MenuField::Argument));
  ShowArgumentHelp(selected ? ActionCodeOfField(Value(MenuField::Action)) : -1);
  FillNumberCombo(Control(kLinkIndex), selected ? state_.freeLinkIndexes : std::vector<int>(),
                  Value(MenuField::Link));
  FillNumberCombo(Control(kLinkPage), selected ? state_.pages : std::vector<int>(), Value(MenuField::Page));
}

void LinkPanel::FillActions(const Text& actionField) {
  HWND combo = Control(kAction);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  if (!state_.link) return;
  int code = ActionCodeOfField(actionField);
  if (code < 0) AddItem(combo, L"does nothing: \"" + actionField + L"\" is no action type", kAsWritten, true);
  for (std::size_t i = 0; i < kActionTypeCount; ++i) {
    const ActionType& type = ActionTypes()[i];
    LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type.meaning));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), type.code);
    if (type.code == code) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

int LinkPanel::SelectedActionCode() const {
  LPARAM data = SelectedData(Control(kAction));
  return data == kAsWritten ? -1 : static_cast<int>(data);
}

void LinkPanel::ShowArgumentHelp(int actionCode) {
  const ActionType* type = ActionTypeOfCode(actionCode);
  ArgumentKind kind = type ? type->argument : ArgumentKind::None;
  Text hint = !state_.link ? Text()
              : !type      ? L"The link does nothing when clicked, so the argument is never used."
              : kind == ArgumentKind::None
                  ? L"This action takes no argument: what is written here is ignored."
                  : Text(type->hint);
  argumentHint_ = hint;
  SetWindowTextIfChanged(Control(kArgumentHint), hint);
  bool browsable = kind == ArgumentKind::DiscProgram || kind == ArgumentKind::DiscDocument ||
                   kind == ArgumentKind::DiscSound;
  EnableWindow(Control(kBrowse), state_.link && browsable);
}

COLORREF LinkPanel::ShownColour(MenuField field) const {
  if (!state_.link) return GetSysColor(COLOR_BTNFACE);
  ColourField colour = ReadColourField(Value(field));
  if (!colour.readable) return 0;
  return colour.system ? GetSysColor(colour.systemIndex) : colour.bgr;
}

void LinkPanel::Command(int id, int code, HWND control) {
  if (showing_ || (!control && id != IDOK)) return;
  auto call = [](const std::function<void()>& callback) {
    if (callback) callback();
  };
  switch (id) {
    case IDOK: {
      // Enter on a focused button presses it, as in a dialog.
      HWND focus = GetFocus();
      if (focus && IsChild(window_, focus) &&
          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        Command(GetDlgCtrlID(focus), BN_CLICKED, focus);
      return;
    }
    case kAddPage:
      if (code == BN_CLICKED) call(onAddPage);
      return;
    case kDuplicatePage:
      if (code == BN_CLICKED) call(onDuplicatePage);
      return;
    case kDeletePage:
      if (code == BN_CLICKED) call(onDeletePage);
      return;
    case kAddLink:
      if (code == BN_CLICKED) call(onAddLink);
      return;
    case kDuplicateLink:
      if (code == BN_CLICKED) call(onDuplicateLink);
      return;
    case kDeleteLink:
      if (code == BN_CLICKED) call(onDeleteLink);
      return;
    case kStartup:
      if (code == BN_CLICKED) call(onStartupSettings);
      return;
    case kFont:
      if (code == BN_CLICKED) ChooseFont();
      return;
    case kColour:
      if (code == BN_CLICKED) ChooseColour(MenuField::Colour);
      return;
    case kHighlight:
      if (code == BN_CLICKED) ChooseColour(MenuField::Highlight);
      return;
    case kBrowse:
      if (code == BN_CLICKED) Browse();
      return;
    case kCaption:
    case kArgument:
      if (code == EN_KILLFOCUS || code == kEnterPressed) CommitText(id);
      if (code == kEscapePressed) RevertText(id);
      return;
    case kPageShown:
    case kAction:
    case kLinkIndex:
    case kLinkPage:
      // A closed list changes its choice with each arrow key: the choice counts when the list closes, on
      // Enter, or when the author leaves it.
      if (code == CBN_CLOSEUP) PostMessageW(window_, kCommitComboMessage, id, 0);
      if (code == CBN_KILLFOCUS || code == kEnterPressed) CommitCombo(id);
      if (code == kEscapePressed) {
        showing_ = true;
        id == kPageShown ? ShowPages() : ShowLink();
        showing_ = false;
      }
      if (code == CBN_SELCHANGE && id == kAction) ShowArgumentHelp(SelectedActionCode());
      return;
  }
}

void LinkPanel::Report(const FieldEdits& edits) {
  if (edits.empty() || !state_.link) return;
  // Shown as edited at once, so that leaving the control after Enter reports nothing twice; the designer's
  // next Show says what the file holds.
  for (const auto& edit : edits)
    (*state_.link)[static_cast<std::size_t>(edit.first)] = edit.second;
  if (edits.size() == 1 && onFieldEdited) {
    onFieldEdited(edits[0].first, edits[0].second);
  } else if (onFieldsEdited) {
    onFieldsEdited(edits);
  } else if (onFieldEdited) {
    for (const auto& edit : edits)
      onFieldEdited(edit.first, edit.second);
  }
}

void LinkPanel::CommitText(int id) {
  if (!state_.link) return;
  MenuField field = id == kCaption ? MenuField::Caption : MenuField::Argument;
  Text text = WindowText(Control(id));
  if (text == Value(field)) return;
  if (text.find(L'|') != Text::npos) {
    MessageBoxW(Root(window_),
                L"A field cannot hold a bar (|): the program takes it for the end of the field.",
                L"Bar in a field", MB_OK | MB_ICONEXCLAMATION);
    RevertText(id);
    return;
  }
  Report({{field, text}});
}

void LinkPanel::RevertText(int id) {
  HWND edit = Control(id);
  SetWindowTextW(edit, Value(id == kCaption ? MenuField::Caption : MenuField::Argument).c_str());
  SendMessageW(edit, EM_SETSEL, 0, -1);
}

void LinkPanel::CommitCombo(int id) {
  LPARAM data = SelectedData(Control(id));
  if (data == kAsWritten) return;
  int number = static_cast<int>(data);
  if (id == kPageShown) {
    if (number == state_.shownPage) return;
    state_.shownPage = number;
    if (onShowPage) onShowPage(number);
    return;
  }
  if (!state_.link) return;
  if (id == kAction) {
    if (ActionCodeOfField(Value(MenuField::Action)) == number) return;
    Report({{MenuField::Action, ToDecimalText(number)}});
    return;
  }
  MenuField field = id == kLinkIndex ? MenuField::Link : MenuField::Page;
  if (PlainNumber(Value(field)) == number) return;
  Report({{field, ToDecimalText(number)}});
}

void LinkPanel::ChooseFont() {
  if (!state_.link) return;
  StyleField style = ReadStyleField(Value(MenuField::Style));
  LOGFONTW font{};
  lstrcpynW(font.lfFaceName, Value(MenuField::Font).c_str(), LF_FACESIZE);
  {
    ScopedWindowDc dc(nullptr);
    int points = style.readable && style.points >= 1 ? static_cast<int>(style.points + 0.5f) : 12;
    font.lfHeight = -MulDiv(points, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
  }
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = style.italic;
  font.lfCharSet = DEFAULT_CHARSET;
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Root(window_);
  dialog.lpLogFont = &font;
  // The file stores no script: the font is made with the ANSI character set whatever is chosen.
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS | CF_NOSCRIPTSEL;
  if (!ShowFontDialog(&dialog)) return;
  FieldEdits edits;
  Text face = font.lfFaceName;
  if (lstrcmpiW(face.c_str(), Value(MenuField::Font).c_str()) != 0) edits.push_back({MenuField::Font, face});
  Text styleText = StyleFieldAfterChoice(Value(MenuField::Style), font.lfWeight >= FW_SEMIBOLD,
                                         font.lfItalic != 0, WholePoints(dialog.iPointSize));
  if (styleText != Value(MenuField::Style)) edits.push_back({MenuField::Style, styleText});
  Report(edits);
}

void LinkPanel::ChooseColour(MenuField field) {
  if (!state_.link) return;
  COLORREF shown = ShownColour(field);
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Root(window_);
  dialog.rgbResult = shown;
  dialog.lpCustColors = customColours_.data();
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!ShowColourDialog(&dialog)) return;
  if (!ColourChanged(ReadColourField(Value(field)), shown, dialog.rgbResult)) return;
  Report({{field, ColourFieldText(GetRValue(dialog.rgbResult), GetGValue(dialog.rgbResult),
                                  GetBValue(dialog.rgbResult))}});
}

void LinkPanel::Browse() {
  const ActionType* type = ActionTypeOfCode(SelectedActionCode());
  if (!state_.link || !type) return;
  Text argument = WindowText(Control(kArgument));
  DiscFileKind kind = type->argument == ArgumentKind::DiscProgram ? DiscFileKind::Program
                      : type->argument == ArgumentKind::DiscSound ? DiscFileKind::Sound
                                                                  : DiscFileKind::AnyFile;
  Text current = kind == DiscFileKind::Program ? SplitLaunchCommand(argument).file : argument;
  std::optional<Text> chosen = BrowseDiscFile(Root(window_), state_.discFolder, kind, current);
  if (!chosen) return;
  if (kind == DiscFileKind::Program) {
    if (ProgramNameSplits(*chosen)) {
      Text message = ProgramNameSplitsMessage(*chosen);
      MessageBoxW(Root(window_), message.c_str(), L"Name the program cannot start",
                  MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    *chosen = ReplaceLaunchedProgram(argument, *chosen);
  }
  SetWindowTextW(Control(kArgument), chosen->c_str());
  // Choosing the action and the file go together: an action changed in the list but not yet committed
  // counts now, before its argument.
  CommitCombo(kAction);
  CommitText(kArgument);
}
