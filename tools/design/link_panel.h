// The designer's panel for the selected link and the pages: a child window of standard controls, each
// named by the label before it, reached with Tab and the labels' underlined letters when the message loop
// lets the panel see messages first (HandleDialogMessage). An edit is reported when the control commits it
// (Enter, leaving the control, closing a list, or a dialog's OK), never per keystroke; the designer applies
// it and calls Show again. Shorter than its controls, it scrolls: with its bar, the wheel, and to the control
// the keyboard reaches.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win.h"
#include "tools/design/panel_controls.h"
#include "tools/design/panel_scroll.h"
#include "tools/edit/menu_editor.h"

struct LinkPanelState {
  std::optional<MenuLinkValues> link;  // the selected link's fields as written; none when none is selected
  Text discFolder;                     // full path: where the file dialogs open
  std::vector<int> freeLinkIndexes;    // of the selected link's page, besides its own
  std::vector<int> pages;              // the pages that exist
  int shownPage = 0;                   // the page the designer shows
};

using FieldEdits = std::vector<std::pair<MenuField, Text>>;

class LinkPanel {
 public:
  // The panel's window only: its controls come with CreateControls, so that a caller may show what matters
  // first. Until then Show keeps the state, and the panel's size is known all the same.
  LinkPanel(HWND parent, int id);
  ~LinkPanel();
  LinkPanel(const LinkPanel&) = delete;
  LinkPanel& operator=(const LinkPanel&) = delete;

  HWND Window() const { return window_; }
  const PanelFont& Font() const { return font_; }
  void CreateControls();
  void Move(const RECT& area);
  void Show(const LinkPanelState& state);
  // Tab, Shift+Tab, Alt+letter, Enter and Escape for the panel's controls: call it first in the message
  // loop, and skip a message it took.
  bool HandleDialogMessage(MSG& message);
  // Puts the keyboard in the panel: on the control that had it last, else the first.
  void Focus();
  // The height the panel needs at `width` to show every control.
  int PreferredHeight(int width) const;
  // The font remade for `dpi` (0: the system's), set on every control, and the controls laid out again.
  // Returns the font it replaced, for the caller to drop once its own windows have the new one.
  PanelFont SetDpi(unsigned dpi);

  std::function<void(MenuField, const Text&)> onFieldEdited;
  // When set, a dialog that changes several fields at once (the font: face and style) reports them in one
  // call, to be one step of undo; else each goes to onFieldEdited.
  std::function<void(const FieldEdits&)> onFieldsEdited;
  std::function<void()> onAddLink, onDuplicateLink, onDeleteLink;
  std::function<void()> onAddPage, onDuplicatePage, onDeletePage;
  std::function<void(int)> onShowPage;
  std::function<void()> onStartupSettings;  // the "Start-up..." button; hidden when unset at Show

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  int Layout(int width, bool place) const;
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  // link_panel_scroll.cpp
  // Lays the controls out in the panel's width, with a scroll bar when they need more than its height.
  void FitScroll();
  void UpdateScrollBar(int viewHeight);
  void ScrollTo(int position);
  void ScrollBy(int code);
  void TurnWheel(int delta);
  // The wheel turned over the panel, whichever window has the focus: true when it scrolled the panel.
  bool ScrolledByWheel(const MSG& message);
  // Scrolls the control, with the label that names it, into view.
  void ShowControl(HWND control);

  void Command(int id, int code, HWND control);
  void FocusControl(HWND control);
  void CommitText(int id);
  void CommitCombo(int id);
  void RevertText(int id);
  void Report(const FieldEdits& edits);
  void ChooseFont();
  void ChooseColour(MenuField field);
  void Browse();

  void ShowPages();
  void ShowLink();
  void FillNumberCombo(HWND combo, const std::vector<int>& numbers, const Text& own);
  void FillActions(const Text& actionField);
  void ShowArgumentHelp(int actionCode);
  int SelectedActionCode() const;
  COLORREF ShownColour(MenuField field) const;
  const Text& Value(MenuField field) const;

  HWND window_ = nullptr;
  PanelFont font_;
  LinkPanelState state_;
  std::array<COLORREF, 16> customColours_{};  // the colour dialog's own row, kept while the panel lives
  HWND lastFocused_ = nullptr;
  bool showing_ = false;  // Show is filling the controls: their notices are no edits
  bool hasControls_ = false;
  bool startupShown_ = false;
  Text argumentHint_;           // as shown under the argument; the layout wraps it
  int contentHeight_ = 0;       // what the controls need at the width they have
  int scrollTop_ = 0;           // of the content, hidden above the panel
  bool fittingScroll_ = false;  // the scroll bar coming or going resizes the panel within FitScroll
  WheelTurns wheel_;
};
