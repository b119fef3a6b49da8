// The designer window's layout: the page beside a side column of the link panel above the findings, a status
// line below. The page shows first; the rest of the window is made once it has (CompleteWindow), so the
// window is sized before the status line exists, for the height it will have.
#include "platform/win32/win.h"
// after windows.h
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/scoped.h"
#include "tools/design/commands.h"
#include "tools/design/designer_window.h"
#include "tools/design/panel_controls.h"

namespace {

constexpr int kSideWidth = 340;  // the panel and the findings, at 96 DPI

}  // namespace

void DesignerWindow::CompleteWindow() {
  if (!status_) {
    int assumed = StatusHeight();
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                              hwnd_, reinterpret_cast<HMENU>(kIdStatus), instance_, nullptr);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(panel_->Font().get()), FALSE);
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(statusText_.c_str()));
    findings_ = std::make_unique<FindingsView>(hwnd_, kIdFindings);
    findings_->onChosen = [this](const Finding& finding) { ChooseFinding(finding); };
    findings_->SetFont(panel_->Font().get(), WindowDpi(hwnd_));
    // A status line of another height than assumed: the window keeps the page whole all the same.
    if (session_ && StatusHeight() != assumed) FitToPage();
    Layout();
  }
  panel_->CreateControls();
}

int DesignerWindow::StatusHeight() const {
  if (status_) {
    SendMessageW(status_, WM_SIZE, 0, 0);  // the bar places itself at the bottom, at its height
    RECT bar;
    GetWindowRect(status_, &bar);
    return bar.bottom - bar.top;
  }
  // As the common controls size it: the text with its leading and borders, at least a caption button's
  // height, and a border.
  ScopedWindowDc dc(hwnd_);
  ScopedSelect select(dc.get(), panel_->Font().get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  int leading = metrics.tmInternalLeading ? metrics.tmInternalLeading : 2;
  int text = metrics.tmHeight + leading + 2 * GetSystemMetrics(SM_CYBORDER);
  return std::max(text, GetSystemMetrics(SM_CYSIZE)) + 2;
}

void DesignerWindow::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  int bottom = client.bottom - StatusHeight();
  unsigned dpi = WindowDpi(hwnd_);
  int side = ScaleFrom96(kSideWidth, dpi);
  int pageWidth = std::max(0, static_cast<int>(client.right) - side);
  MoveWindow(page_->hwnd(), 0, 0, pageWidth, bottom, TRUE);
  // The panel as tall as its controls need, the findings below it with what is left (at least a few rows).
  int panelHeight = std::max(0, std::min(panel_->PreferredHeight(side), bottom - ScaleFrom96(140, dpi)));
  panel_->Move(RECT{pageWidth, 0, pageWidth + side, panelHeight});
  if (!status_) return;
  MoveWindow(findings_->hwnd(), pageWidth, panelHeight, side, bottom - panelHeight, TRUE);
  findings_->FitColumns();
  int parts[] = {std::max(0, static_cast<int>(client.right) - ScaleFrom96(220, dpi)), -1};
  SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void DesignerWindow::FitToPage() {
  // The window takes the page's size, within the screen's work area, with the side column beside it.
  unsigned dpi = WindowDpi(hwnd_);
  SIZE page = page_->PageSize();
  RECT want{
      0, 0, page.cx + ScaleFrom96(kSideWidth, dpi),
      std::max<LONG>(page.cy, panel_->PreferredHeight(ScaleFrom96(kSideWidth, dpi)) + ScaleFrom96(220, dpi)) +
          StatusHeight()};
  AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  int width = std::min<LONG>(want.right - want.left, work.right - work.left);
  int height = std::min<LONG>(want.bottom - want.top, work.bottom - work.top);
  RECT now;
  GetWindowRect(hwnd_, &now);
  int left = std::max<LONG>(work.left, std::min<LONG>(now.left, work.right - width));
  int top = std::max<LONG>(work.top, std::min<LONG>(now.top, work.bottom - height));
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
