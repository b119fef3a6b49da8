#include "tools/design/startup_dialog.h"

#include <algorithm>
#include <vector>

#include "launch/launch.h"
#include "tools/design/action_types.h"
#include "tools/design/disc_file_dialog.h"
#include "tools/design/panel_controls.h"

namespace {

enum ControlId {
  kSplash = 200,
  kSplashLabel,
  kSplashPicture,
  kSplashBrowse,
  kLaunch,
  kLaunchLabel,
  kLaunchCommand,
  kLaunchBrowse,
  kMenu,
  kMenuLabel,
  kMenuPicture,
  kMenuBrowse,
  kBackgroundLabel,
  kBackgroundSound,
  kBackgroundBrowse,
  kMouseOverLabel,
  kMouseOverSound,
  kMouseOverBrowse,
  kNothingNote,
};

// One name of the dialog: its label, its edit box and its Browse button, in id order.
struct NameRow {
  int label;
  const wchar_t* labelText;
  Text StartupSettings::*value;
  DiscFileKind kind;
};

const NameRow kRows[] = {
    {kSplashLabel, L"Splash &picture:", &StartupSettings::splashPicture, DiscFileKind::Picture},
    {kLaunchLabel, L"Launch &command (a program of the disc, then a blank, a dash and its parameters):",
     &StartupSettings::launchCommand, DiscFileKind::Program},
    {kMenuLabel, L"Menu p&icture (the menu window takes its size):", &StartupSettings::menuPicture,
     DiscFileKind::Picture},
    {kBackgroundLabel, L"&Background sound, played once when the menu first shows (empty: none):",
     &StartupSettings::backgroundSound, DiscFileKind::Sound},
    {kMouseOverLabel, L"M&ouse-over sound, played each time a link lights up (empty: none):",
     &StartupSettings::mouseOverSound, DiscFileKind::Sound},
};

class StartupDialog {
 public:
  StartupDialog(const Text& discFolder, const StartupSettings& settings)
      : discFolder_(discFolder), settings_(settings) {}

  std::optional<StartupSettings> Run(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam);
  void CreateControls();
  void Browse(const NameRow& row);
  void Read();
  void ShowNothingNote();
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }

  Text discFolder_;
  StartupSettings settings_;
  PanelFont font_;
  HWND dialog_ = nullptr;
  bool accepted_ = false;
};

std::optional<StartupSettings> StartupDialog::Run(HWND owner) {
  // An empty template: the controls are made and placed in pixels of the panel's font.
  std::vector<WORD> dialogTemplate(64, 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data());
  header->style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  header->dwExtendedStyle = WS_EX_CONTROLPARENT;
  WORD* title = dialogTemplate.data() + sizeof(DLGTEMPLATE) / sizeof(WORD) + 2;  // after no menu, no class
  const wchar_t caption[] = L"Start-up settings";
  for (std::size_t i = 0; caption[i]; ++i)
    title[i] = caption[i];
  INT_PTR result =
      DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), header,
                              owner, &StartupDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (result != IDOK || !accepted_) return std::nullopt;
  return settings_;
}

INT_PTR CALLBACK StartupDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<StartupDialog*>(lParam)->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<StartupDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Handle(message, wParam) : FALSE;
}

INT_PTR StartupDialog::Handle(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      CreateControls();
      SetFocus(Control(kSplash));
      return FALSE;  // focus set here
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == IDOK) {
        Read();
        accepted_ = true;
        EndDialog(dialog_, IDOK);
      } else if (id == IDCANCEL) {
        EndDialog(dialog_, IDCANCEL);
      } else if (id == kSplash || id == kLaunch || id == kMenu) {
        ShowNothingNote();
      }
      for (const NameRow& row : kRows)
        if (id == row.label + 2 && HIWORD(wParam) == BN_CLICKED) Browse(row);
      return TRUE;
    }
  }
  return FALSE;
}

void StartupDialog::CreateControls() {
  const int line = font_.LineHeight();
  const int margin = font_.AverageWidth() * 2;
  const int gap = line / 2;
  const int controlHeight = line + line / 2 + 2;
  const int width = font_.AverageWidth() * 80;
  const int browseWidth = font_.TextWidth(L"Browse...") + 4 * font_.AverageWidth();
  int y = margin;
  auto checkBox = [&](int id, const wchar_t* text, bool on) {
    HWND box = MakeControl(dialog_, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP, id, font_);
    SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    Place(box, margin, y, width, controlHeight);
    y += controlHeight + gap / 2;
  };
  auto nameRow = [&](const NameRow& row) {
    Place(MakeControl(dialog_, L"STATIC", row.labelText, SS_LEFT, row.label, font_), margin, y, width, line);
    y += line + 2;
    HWND edit = MakeControl(dialog_, L"EDIT", settings_.*row.value, ES_AUTOHSCROLL | WS_TABSTOP,
                            row.label + 1, font_);
    Place(edit, margin, y, width - browseWidth - gap, controlHeight);
    HWND browse =
        MakeControl(dialog_, L"BUTTON", L"Browse...", BS_PUSHBUTTON | WS_TABSTOP, row.label + 2, font_);
    Place(browse, margin + width - browseWidth, y, browseWidth, controlHeight);
    y += controlHeight + gap;
  };
  checkBox(kSplash, L"Show the &splash picture for 3 seconds at start", settings_.splash);
  nameRow(kRows[0]);
  checkBox(kLaunch, L"&Launch a program at start", settings_.launch);
  nameRow(kRows[1]);
  checkBox(kMenu, L"Show the &menu", settings_.menu);
  nameRow(kRows[2]);
  nameRow(kRows[3]);
  nameRow(kRows[4]);
  Place(MakeControl(dialog_, L"STATIC", L"", SS_LEFT, kNothingNote, font_), margin, y, width, line);
  y += line + gap;
  const int buttonWidth = font_.AverageWidth() * 12;
  HWND ok = MakeControl(dialog_, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, font_);
  Place(ok, margin + width - 2 * buttonWidth - gap, y, buttonWidth, controlHeight);
  HWND cancel = MakeControl(dialog_, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, font_);
  Place(cancel, margin + width - buttonWidth, y, buttonWidth, controlHeight);
  y += controlHeight + margin;
  ShowNothingNote();

  RECT frame{0, 0, width + 2 * margin, y};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
  int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  RECT owner{}, screen{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  HWND parent = GetParent(dialog_);
  if (!parent || !GetWindowRect(parent, &owner)) owner = screen;
  // Centred on its owner, but never off the screen.
  int left = owner.left + (owner.right - owner.left - frameWidth) / 2;
  int top = owner.top + (owner.bottom - owner.top - frameHeight) / 3;
  left = std::max(static_cast<int>(screen.left), std::min(left, static_cast<int>(screen.right) - frameWidth));
  top = std::max(static_cast<int>(screen.top), std::min(top, static_cast<int>(screen.bottom) - frameHeight));
  SetWindowPos(dialog_, nullptr, left, top, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void StartupDialog::ShowNothingNote() {
  bool any = false;
  for (int id : {kSplash, kLaunch, kMenu})
    any = any || SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  SetWindowTextIfChanged(Control(kNothingNote),
                         any ? Text() : L"With none of the three on, the program ends at once.");
}

void StartupDialog::Browse(const NameRow& row) {
  HWND edit = Control(row.label + 1);
  Text current = WindowText(edit);
  bool program = row.kind == DiscFileKind::Program;
  std::optional<Text> chosen =
      BrowseDiscFile(dialog_, discFolder_, row.kind, program ? SplitLaunchCommand(current).file : current);
  if (!chosen) return;
  if (program) {
    if (ProgramNameSplits(*chosen)) {
      Text message = ProgramNameSplitsMessage(*chosen);
      MessageBoxW(dialog_, message.c_str(), L"Name the program cannot start", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    *chosen = ReplaceLaunchedProgram(current, *chosen);
  }
  SetWindowTextW(edit, chosen->c_str());
  SetFocus(edit);
}

void StartupDialog::Read() {
  settings_.splash = SendMessageW(Control(kSplash), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings_.launch = SendMessageW(Control(kLaunch), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings_.menu = SendMessageW(Control(kMenu), BM_GETCHECK, 0, 0) == BST_CHECKED;
  for (const NameRow& row : kRows)
    settings_.*row.value = WindowText(Control(row.label + 1));
}

}  // namespace

std::optional<StartupSettings> EditStartupSettings(HWND owner,
                                                   const Text& discFolder,
                                                   const StartupSettings& current) {
  StartupDialog dialog(discFolder, current);
  return dialog.Run(owner);
}
