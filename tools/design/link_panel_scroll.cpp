// The link panel shorter than its controls (a small screen, a large font): a scroll bar, the wheel, and the
// control the keyboard reaches brought into view.
#include "platform/win32/win.h"
// after windows.h
#include <windowsx.h>

#include <algorithm>

#include "tools/design/link_panel.h"

void LinkPanel::FitScroll() {
  if (fittingScroll_ || !window_) return;
  fittingScroll_ = true;
  RECT frame, client;
  GetWindowRect(window_, &frame);
  GetClientRect(window_, &client);
  // Whether the bar is needed is judged in the panel's whole width; with it, the controls have less.
  int width = frame.right - frame.left;
  contentHeight_ = Layout(width, false);
  UpdateScrollBar(client.bottom);
  GetClientRect(window_, &client);
  if (client.right != width) {
    contentHeight_ = Layout(client.right, false);
    UpdateScrollBar(client.bottom);
  }
  Layout(client.right, true);
  fittingScroll_ = false;
}

void LinkPanel::UpdateScrollBar(int viewHeight) {
  scrollTop_ = ClampScroll(scrollTop_, contentHeight_, viewHeight);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = std::max(0, contentHeight_ - 1);
  info.nPage = static_cast<UINT>(std::max(0, viewHeight));
  info.nPos = scrollTop_;
  // Shows the bar when the page is less than the range, hides it when everything fits.
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void LinkPanel::ScrollTo(int position) {
  RECT client;
  GetClientRect(window_, &client);
  int to = ClampScroll(position, contentHeight_, client.bottom);
  if (to == scrollTop_) return;
  int moved = scrollTop_ - to;
  scrollTop_ = to;
  SetScrollPos(window_, SB_VERT, to, TRUE);
  ScrollWindowEx(window_, 0, moved, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void LinkPanel::ScrollBy(int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(window_, SB_VERT, &info)) return;
  const int line = font_.LineHeight();
  const int page = std::max(line, static_cast<int>(info.nPage) - line);
  switch (code) {
    case SB_LINEUP:
      return ScrollTo(scrollTop_ - line);
    case SB_LINEDOWN:
      return ScrollTo(scrollTop_ + line);
    case SB_PAGEUP:
      return ScrollTo(scrollTop_ - page);
    case SB_PAGEDOWN:
      return ScrollTo(scrollTop_ + page);
    case SB_TOP:
      return ScrollTo(0);
    case SB_BOTTOM:
      return ScrollTo(contentHeight_);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      return ScrollTo(info.nTrackPos);
  }
}

void LinkPanel::TurnWheel(int delta) {
  UINT linesPerNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  if (linesPerNotch == WHEEL_PAGESCROLL) {
    ScrollBy(delta > 0 ? SB_PAGEUP : SB_PAGEDOWN);
    return;
  }
  int lines = wheel_.Lines(delta, static_cast<int>(std::min<UINT>(linesPerNotch, 100)));
  ScrollTo(scrollTop_ + lines * font_.LineHeight());
}

bool LinkPanel::ScrolledByWheel(const MSG& message) {
  if (message.message != WM_MOUSEWHEEL) return false;
  // The wheel goes to the focus on older Windows: over the panel it scrolls the panel, not the list or the
  // page that has the keyboard. An open drop-down list keeps it: its list would be left behind.
  HWND focus = GetFocus();
  if (focus && IsChild(window_, focus) && SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0)) return false;
  POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
  HWND under = WindowFromPoint(at);
  if (!under || (under != window_ && !IsChild(window_, under))) return false;
  TurnWheel(GET_WHEEL_DELTA_WPARAM(message.wParam));
  return true;
}

void LinkPanel::ShowControl(HWND control) {
  if (!control || !IsChild(window_, control)) return;
  RECT shown;
  GetWindowRect(control, &shown);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&shown), 2);
  // The label that names a control is made just before it: it comes into view with it.
  HWND before = GetWindow(control, GW_HWNDPREV);
  wchar_t className[8] = {};
  if (before && GetClassNameW(before, className, 8) && lstrcmpiW(className, L"Static") == 0) {
    RECT label;
    GetWindowRect(before, &label);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&label), 2);
    shown.top = std::min(shown.top, label.top);
  }
  RECT client;
  GetClientRect(window_, &client);
  const int margin = font_.AverageWidth() + 2;
  ScrollTo(ScrollToShow(scrollTop_, contentHeight_, client.bottom, shown.top + scrollTop_ - margin,
                        shown.bottom + scrollTop_ + margin));
}
