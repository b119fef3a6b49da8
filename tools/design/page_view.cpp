#include "tools/design/page_view.h"

#include "platform/win32/win.h"
// after windows.h
#include <windowsx.h>

#include <string>

#include "platform/controls.h"
#include "platform/win32/boundary.h"
#include "platform/win32/dpi.h"
#include "platform/win32/scoped.h"
#include "platform/win32/units.h"
#include "tools/design/page_accessible.h"

namespace {

const wchar_t kClassName[] = L"VelmaroDesignPage";

PageView* ViewOf(HWND hwnd) {
  return reinterpret_cast<PageView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

int SelectedIn(HWND hwnd) {
  PageView* view = ViewOf(hwnd);
  return view ? view->Selected() : -1;
}

void SelectIn(HWND hwnd, int link) {
  if (PageView* view = ViewOf(hwnd)) view->Select(link);
}

PixelRect PixelsOf(int link, unsigned dpi) {
  return TwipRectToPixels(lblLink(link).Rect(), dpi);
}

}  // namespace

void PageView::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

PageView::PageView(HWND parent, PageViewOwner& owner, PageRunner& runner, int id)
    : owner_(owner), runner_(runner), gestures_(GetSystemMetrics(SM_CXDRAG)) {
  CreateWindowExW(0, kClassName, L"Page", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), this);
}

unsigned PageView::Dpi() const {
  return WindowDpi(hwnd_);
}

SIZE PageView::PageSize() const {
  const PageRun& run = runner_.Last();
  unsigned dpi = Dpi();
  return SIZE{TwipsToPixels(run.size.width, dpi), TwipsToPixels(run.size.height, dpi)};
}

void PageView::PageLoaded() {
  gestures_.Cancel();
  gestures_.KeepIfShown(runner_.Last().shown);
  pointed_ = -1;
  InvalidateRect(hwnd_, nullptr, FALSE);
  AnnouncePageLinks(hwnd_);
}

void PageView::Select(int link) {
  if (link == gestures_.Selected()) return;
  gestures_.Select(link);
  InvalidateRect(hwnd_, nullptr, FALSE);
  AnnouncePageSelection(hwnd_, link);
  owner_.SelectionChanged(link);
}

void PageView::SetTryMode(bool on) {
  tryMode_ = on;
  pointed_ = -1;
  gestures_.Cancel();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK PageView::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<PageView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<PageView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  return Contained([&] { result = view->Handle(message, wParam, lParam); }) ? result : 0;
}

LRESULT PageView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_GETOBJECT:
      return AnswerPageObject(hwnd_, wParam, lParam, SelectedIn, SelectIn);
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE: {
      // Arrows move the link; Ctrl+Tab goes from link to link, plain Tab to the next pane.
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      auto* msg = reinterpret_cast<MSG*>(lParam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0)
        code |= DLGC_WANTMESSAGE;
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && gestures_.Dragging())
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      Press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE:
      Drag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      Release();
      return 0;
    case WM_CAPTURECHANGED:
      if (gestures_.Dragging()) ShowOffset(0, 0);
      gestures_.Cancel();
      return 0;
    case WM_KEYDOWN:
      Key(wParam);
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void PageView::Paint() {
  ScopedPaint paint(hwnd_);
  const RECT& area = paint.area();
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  ScopedMemDc buffer(CreateCompatibleDC(paint.dc()));
  ScopedGdiObj bitmap(CreateCompatibleBitmap(paint.dc(), width, height));
  if (!buffer || !bitmap) return;
  ScopedSelect selectBitmap(buffer.get(), bitmap.get());
  SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
  FillRect(buffer.get(), &area, GetSysColorBrush(COLOR_APPWORKSPACE));
  unsigned dpi = Dpi();
  runner_.Paint(buffer.get(), dpi, area);
  if (!tryMode_) DrawSelection(buffer.get(), dpi);
  BitBlt(paint.dc(), area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}

void PageView::DrawSelection(HDC dc, unsigned dpi) {
  for (const SnapGuide& guide : gestures_.Offset().guides) {
    RECT line = guide.vertical ? RECT{guide.at, guide.from, guide.at + 1, guide.to}
                               : RECT{guide.from, guide.at, guide.to, guide.at + 1};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
  int link = gestures_.Selected();
  if (link < 0 || !lblLink(link).Visible()) return;
  PixelRect p = PixelsOf(link, dpi);
  RECT box{p.left - 1, p.top - 1, p.right + 1, p.bottom + 1};
  // Two rings, dark and light, so the box shows on any picture.
  HBRUSH dark = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HBRUSH light = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  FrameRect(dc, &box, GetFocus() == hwnd_ ? GetSysColorBrush(COLOR_HIGHLIGHT) : dark);
  RECT outer{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
  FrameRect(dc, &outer, light);

  // The link's index in a tab above its top left corner (below it where the page's top leaves no room).
  std::wstring index = std::to_wstring(link);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfSmCaptionFont.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
  metrics.lfSmCaptionFont.lfWeight = FW_BOLD;
  ScopedGdiObj font(CreateFontIndirectW(&metrics.lfSmCaptionFont));
  ScopedSelect selectFont(dc, font.get());
  SIZE text{};
  GetTextExtentPoint32W(dc, index.c_str(), static_cast<int>(index.size()), &text);
  int tabTop = outer.top - text.cy - 2 >= 0 ? outer.top - text.cy - 2 : outer.bottom;
  RECT tab{outer.left, tabTop, outer.left + text.cx + 6, tabTop + text.cy + 2};
  FillRect(dc, &tab, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  DrawTextW(dc, index.c_str(), static_cast<int>(index.size()), &tab, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void PageView::Press(int x, int y) {
  unsigned dpi = Dpi();
  int link = LabelAt(PixelsToTwips(x, dpi), PixelsToTwips(y, dpi));
  if (tryMode_) {
    if (link >= 0) owner_.TryClick(link);
    return;
  }
  std::vector<PixelRect> others;
  for (int shown : runner_.Last().shown)
    if (shown != link) others.push_back(PixelsOf(shown, dpi));
  int before = gestures_.Selected();
  gestures_.Press(link, x, y, link >= 0 ? PixelsOf(link, dpi) : PixelRect{0, 0, 0, 0}, std::move(others));
  if (link >= 0) {
    dragLeft_ = lblLink(link).Left();
    dragTop_ = lblLink(link).Top();
    SetCapture(hwnd_);
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (before != link) {
    AnnouncePageSelection(hwnd_, link);
    owner_.SelectionChanged(link);
  }
}

void PageView::Drag(int x, int y) {
  unsigned dpi = Dpi();
  if (tryMode_) {
    int link = LabelAt(PixelsToTwips(x, dpi), PixelsToTwips(y, dpi));
    if (link != pointed_) {
      pointed_ = link;
      owner_.TryPoint(link);
    }
    return;
  }
  if (GetCapture() != hwnd_) return;
  // Alt held places freely, as drawing programs do.
  bool snapping = GetKeyState(VK_MENU) >= 0;
  if (gestures_.Follow(x, y, snapping, MulDiv(6, static_cast<int>(dpi), 96)))
    ShowOffset(gestures_.Offset().dx, gestures_.Offset().dy);
}

void PageView::ShowOffset(int dx, int dy) {
  int link = gestures_.Selected();
  if (link < 0) return;
  unsigned dpi = Dpi();
  Label& label = lblLink(link);
  label.SetLeft(dragLeft_ + PixelsToTwipDelta(dx, dpi));
  label.SetTop(dragTop_ + PixelsToTwipDelta(dy, dpi));
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PageView::Release() {
  if (GetCapture() != hwnd_) return;
  int dx = 0, dy = 0;
  int link = gestures_.Selected();
  bool moved = gestures_.Release(dx, dy);
  ReleaseCapture();
  if (!moved) return;
  ShowOffset(0, 0);
  InvalidateRect(hwnd_, nullptr, FALSE);
  owner_.MoveLink(link, dx, dy);
}

void PageView::Key(WPARAM key) {
  if (key == VK_ESCAPE && GetCapture() == hwnd_) {
    ReleaseCapture();  // WM_CAPTURECHANGED puts the link back
    return;
  }
  if (tryMode_) return;
  if (key == VK_TAB) {
    Select(gestures_.Next(runner_.Last().shown, GetKeyState(VK_SHIFT) >= 0));
    return;
  }
  int link = gestures_.Selected();
  if (link < 0 || GetCapture() == hwnd_) return;
  if (key == VK_DELETE) {
    owner_.DeleteLink(link);
    return;
  }
  int step = GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
  int dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
  int dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
  if (dx || dy) owner_.MoveLink(link, dx, dy);
}
