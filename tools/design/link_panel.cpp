#include "tools/design/link_panel.h"

#include "platform/win32/dpi.h"
#include "tools/design/colour_field.h"
#include "tools/design/link_panel_ids.h"

namespace {

const wchar_t kClassName[] = L"VelmaroLinkPanel";
const wchar_t kCaptionHintText[] =
    L"An & before a letter underlines it and makes it the link's access key (Alt+letter); && shows one &.";

}  // namespace

LinkPanel::LinkPanel(HWND parent, int id) : font_(WindowDpi(parent)) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &LinkPanel::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // already registered for a second panel: that is fine
  window_ =
      CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Link", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                      100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

LinkPanel::~LinkPanel() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

LRESULT CALLBACK LinkPanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<LinkPanel*>(create->lpCreateParams)->window_ = window;
  }
  auto* panel = reinterpret_cast<LinkPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!panel || panel->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    panel->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return panel->Handle(message, wParam, lParam);
}

LRESULT LinkPanel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      FitScroll();
      return 0;
    case WM_VSCROLL:
      ScrollBy(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      TurnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case kCommitComboMessage:
      if (!SendMessageW(Control(static_cast<int>(wParam)), CB_GETDROPPEDSTATE, 0, 0))
        CommitCombo(static_cast<int>(wParam));
      return 0;
    case WM_NEXTDLGCTL:
      // The dialog manager moves the focus through the window it was given, the panel.
      FocusControl(LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                  : GetNextDlgTabItem(window_, GetFocus(), wParam != 0));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      MenuField field = item.CtlID == kColour ? MenuField::Colour : MenuField::Highlight;
      bool readable = state_.link && ReadColourField(Value(field)).readable;
      DrawSwatchButton(item, ShownColour(field), readable);
      return TRUE;
    }
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void LinkPanel::CreateControls() {
  if (hasControls_) return;
  // Controls made, filled and placed in a shown window paint one by one: many times slower.
  bool shown = IsWindowVisible(window_) != FALSE;
  ShowWindow(window_, SW_HIDE);
  const DWORD label = SS_LEFT;
  const DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
  const DWORD list = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  const DWORD edit = ES_AUTOHSCROLL | WS_TABSTOP;
  // Each control after the label that names it: screen readers name it by that label, and the label's
  // underlined letter reaches it.
  MakeControl(window_, L"STATIC", L"Sho&wn page:", label, kPageShownLabel, font_);
  MakeControl(window_, L"COMBOBOX", L"", list | WS_GROUP, kPageShown, font_);
  MakeControl(window_, L"BUTTON", L"Add pa&ge", button, kAddPage, font_);
  MakeControl(window_, L"BUTTON", L"Dupl&icate page", button, kDuplicatePage, font_);
  MakeControl(window_, L"BUTTON", L"Delete &page", button, kDeletePage, font_);
  MakeControl(window_, L"STATIC", L"", label | SS_NOPREFIX, kLinkStatus, font_);
  MakeControl(window_, L"BUTTON", L"&Add link", button, kAddLink, font_);
  MakeControl(window_, L"BUTTON", L"&Duplicate link", button, kDuplicateLink, font_);
  MakeControl(window_, L"BUTTON", L"De&lete link", button, kDeleteLink, font_);
  MakeControl(window_, L"STATIC", L"&Caption:", label, kCaptionLabel, font_);
  MakeControl(window_, L"EDIT", L"", edit, kCaption, font_);
  MakeControl(window_, L"STATIC", kCaptionHintText, label | SS_NOPREFIX, kCaptionHint, font_);
  MakeControl(window_, L"STATIC", L"&Font:", label, kFontLabel, font_);
  MakeControl(window_, L"BUTTON", L"", button, kFont, font_);
  MakeControl(window_, L"BUTTON", L"", BS_OWNERDRAW | WS_TABSTOP, kColour, font_);
  MakeControl(window_, L"BUTTON", L"", BS_OWNERDRAW | WS_TABSTOP, kHighlight, font_);
  MakeControl(window_, L"STATIC", L"Actio&n:", label, kActionLabel, font_);
  MakeControl(window_, L"COMBOBOX", L"", list, kAction, font_);
  MakeControl(window_, L"STATIC", L"A&rgument:", label, kArgumentLabel, font_);
  MakeControl(window_, L"EDIT", L"", edit, kArgument, font_);
  MakeControl(window_, L"BUTTON", L"&Browse...", button, kBrowse, font_);
  MakeControl(window_, L"STATIC", L"", label | SS_NOPREFIX, kArgumentHint, font_);
  MakeControl(window_, L"STATIC", L"Lin&k number:", label, kLinkIndexLabel, font_);
  MakeControl(window_, L"COMBOBOX", L"", list, kLinkIndex, font_);
  MakeControl(window_, L"STATIC", L"&On page:", label, kLinkPageLabel, font_);
  MakeControl(window_, L"COMBOBOX", L"", list, kLinkPage, font_);
  MakeControl(window_, L"BUTTON", L"&Start-up settings...", button, kStartup, font_);
  for (int id : {kPageShown, kCaption, kAction, kArgument, kLinkIndex, kLinkPage})
    WatchEnterAndEscape(Control(id));
  hasControls_ = true;
  Show(state_);
  if (shown) ShowWindow(window_, SW_SHOW);
}

bool LinkPanel::HandleDialogMessage(MSG& message) {
  if (!window_) return false;
  if (ScrolledByWheel(message)) return true;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  HWND focus = GetFocus();
  if (focus && IsChild(window_, focus)) lastFocused_ = focus;
  bool taken = IsDialogMessageW(window_, &message) != FALSE;
  // Tab and a label's letter may have moved the focus below or above what shows. A control pressed with
  // the mouse is not moved from under it, or its click would be lost.
  bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
  HWND now = GetFocus();
  if (key && now != focus && now && IsChild(window_, now)) ShowControl(now);
  return taken;
}

void LinkPanel::Focus() {
  CreateControls();  // keys may come before the panel was made
  HWND control = lastFocused_ && IsChild(window_, lastFocused_) && IsWindowEnabled(lastFocused_)
                     ? lastFocused_
                     : GetNextDlgTabItem(window_, nullptr, FALSE);
  FocusControl(control);
}

void LinkPanel::FocusControl(HWND control) {
  if (!control || !IsChild(window_, control)) return;
  SetFocus(control);
  ShowControl(control);
  // As a dialog does: an edit box reached from the keyboard has its text selected, to be typed over.
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

void LinkPanel::Move(const RECT& area) {
  Place(window_, area.left, area.top, area.right - area.left, area.bottom - area.top);
}

int LinkPanel::PreferredHeight(int width) const {
  return Layout(width, false);
}

PanelFont LinkPanel::SetDpi(unsigned dpi) {
  PanelFont replaced(std::move(font_));
  font_ = PanelFont(dpi);
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  FitScroll();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return replaced;
}

int LinkPanel::Layout(int width, bool place) const {
  const int line = font_.LineHeight();
  const int margin = font_.AverageWidth() + 2;
  const int gap = line / 3 + 1;
  const int controlHeight = line + line / 2 + 2;
  const int listHeight = controlHeight + 12 * line;  // a drop-down list's height includes its open list
  const int inner = width - 2 * margin;
  int y = margin;
  place = place && hasControls_;
  auto put = [&](int id, int x, int w, int h) {
    if (place) Place(Control(id), x, y - scrollTop_, w, h);
  };
  auto labelRow = [&](int id) {
    put(id, margin, inner, line);
    y += line + 2;
  };
  auto wrapped = [&](int id, const Text& text) {
    RECT r{0, 0, inner, 0};
    ScopedWindowDc dc(window_);
    ScopedSelect select(dc.get(), font_.get());
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    put(id, margin, inner, r.bottom);
    y += r.bottom + gap;
  };
  auto threeButtons = [&](int first) {
    int w = (inner - 2 * gap) / 3;
    for (int i = 0; i < 3; ++i)
      put(first + i, margin + i * (w + gap), i == 2 ? inner - 2 * (w + gap) : w, controlHeight);
    y += controlHeight + gap;
  };

  labelRow(kPageShownLabel);
  put(kPageShown, margin, inner, listHeight);
  y += controlHeight + gap;
  threeButtons(kAddPage);
  y += gap;
  labelRow(kLinkStatus);
  threeButtons(kAddLink);

  labelRow(kCaptionLabel);
  put(kCaption, margin, inner, controlHeight);
  y += controlHeight + 2;
  wrapped(kCaptionHint, kCaptionHintText);
  labelRow(kFontLabel);
  put(kFont, margin, inner, controlHeight);
  y += controlHeight + gap;
  put(kColour, margin, inner, controlHeight);
  y += controlHeight + gap;
  put(kHighlight, margin, inner, controlHeight);
  y += controlHeight + gap;

  labelRow(kActionLabel);
  put(kAction, margin, inner, listHeight);
  y += controlHeight + gap;
  labelRow(kArgumentLabel);
  int browseWidth = font_.TextWidth(L"Browse...") + 4 * font_.AverageWidth();
  put(kArgument, margin, inner - browseWidth - gap, controlHeight);
  put(kBrowse, margin + inner - browseWidth, browseWidth, controlHeight);
  y += controlHeight + 2;
  wrapped(kArgumentHint, argumentHint_);

  int half = (inner - gap) / 2;
  if (place) {
    Place(Control(kLinkIndexLabel), margin, y - scrollTop_, half, line);
    Place(Control(kLinkPageLabel), margin + half + gap, y - scrollTop_, inner - half - gap, line);
  }
  y += line + 2;
  put(kLinkIndex, margin, half, listHeight);
  put(kLinkPage, margin + half + gap, inner - half - gap, listHeight);
  y += controlHeight + 2 * gap;
  if (startupShown_) {
    put(kStartup, margin, inner, controlHeight);
    y += controlHeight + gap;
  }
  return y + margin;
}
