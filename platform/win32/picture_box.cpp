// Painting of the picture boxes (double-buffered, labels last) and the pointer routing of pctBG.
#include "platform/win32/picture_box.h"

#include <algorithm>

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/labels.h"

namespace {
const wchar_t kClassName[] = L"VelmaroPictureBox";
}

void PictureBox::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  // A double-click arrives as its own message, which is ignored, so it counts as one click.
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

PictureBox::PictureBox(HWND parent, TwipSize size, int backgroundSysColor, bool hostsLabels)
    : size_(size), backgroundSysColor_(backgroundSysColor), hostsLabels_(hostsLabels) {
  unsigned dpi = WindowDpi(parent);
  hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                          TwipsToPixels(size.width, dpi), TwipsToPixels(size.height, dpi), parent, nullptr,
                          reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), this);
}

void PictureBox::Load(const Text& path) {
  std::unique_ptr<Picture> picture = Picture::Load(path);
  if (!picture) throw AppError(ErrorKind::FileNotFound);
  picture_ = std::move(picture);
  size_ = picture_->Size();
  Relayout();
}

void PictureBox::Relayout() {
  unsigned dpi = WindowDpi(hwnd_);
  cache_.reset();
  cacheTried_ = false;
  SetWindowPos(hwnd_, nullptr, 0, 0, TwipsToPixels(size_.width, dpi), TwipsToPixels(size_.height, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::InvalidateTwips(const TwipRect& before, const TwipRect& after) {
  unsigned dpi = WindowDpi(hwnd_);
  PixelRect a = TwipRectToPixels(before, dpi), b = TwipRectToPixels(after, dpi);
  RECT area{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
  InvalidateRect(hwnd_, &area, FALSE);
}

LRESULT CALLBACK PictureBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* box = static_cast<PictureBox*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    box->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  }
  auto* box = reinterpret_cast<PictureBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!box) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  return Contained([&] { result = box->Handle(message, wParam, lParam); }) ? result : 0;
}

LRESULT PictureBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE:
      if (hostsLabels_) PointerMove(lParam);
      return 0;
    case WM_LBUTTONDOWN:
      if (hostsLabels_) Press(lParam);
      return 0;
    case WM_LBUTTONUP:
      if (hostsLabels_) Release(lParam);
      return 0;
    case WM_CAPTURECHANGED:
      pressed_ = -1;
      return 0;
    case WM_LBUTTONDBLCLK:
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HBITMAP PictureBox::Background(HDC reference, int width, int height) {
  if (cacheTried_ && cacheWidth_ == width && cacheHeight_ == height)
    return static_cast<HBITMAP>(cache_.get());
  cache_.reset();
  cacheTried_ = true;
  cacheWidth_ = width;
  cacheHeight_ = height;
  // A picture far past the screen's size is drawn into each paint's buffer instead; a cache for it could
  // take more memory than a 32-bit process has, and would be tried again at every paint. A bitmap shown at
  // its own size needs none: a second copy of its pixels would only grow the working set.
  if (static_cast<long long>(width) * height > kMaxCachePixels) return nullptr;
  if (picture_ && picture_->CopiesAt(width, height)) return nullptr;
  cache_.reset(CreateCompatibleBitmap(reference, width, height));
  if (!cache_) return nullptr;
  ScopedMemDc dc(CreateCompatibleDC(reference));
  ScopedSelect select(dc.get(), cache_.get());
  RECT all{0, 0, width, height};
  FillRect(dc.get(), &all, GetSysColorBrush(backgroundSysColor_));
  if (picture_) picture_->Draw(dc.get(), 0, 0, width, height);
  return static_cast<HBITMAP>(cache_.get());
}

void PictureBox::Paint() {
  ScopedPaint paint(hwnd_);
  RECT client;
  GetClientRect(hwnd_, &client);
  const RECT& area = paint.area();
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;

  // Everything is composed off screen, so a hover never shows the picture without its text. The buffer
  // covers only the area to repaint.
  ScopedMemDc buffer(CreateCompatibleDC(paint.dc()));
  ScopedGdiObj bitmap(CreateCompatibleBitmap(paint.dc(), width, height));
  if (!buffer || !bitmap) return;
  ScopedSelect selectBitmap(buffer.get(), bitmap.get());

  if (HBITMAP background = Background(paint.dc(), client.right, client.bottom)) {
    ScopedMemDc source(CreateCompatibleDC(paint.dc()));
    ScopedSelect selectSource(source.get(), background);
    BitBlt(buffer.get(), 0, 0, width, height, source.get(), area.left, area.top, SRCCOPY);
  } else {
    RECT all{0, 0, width, height};
    FillRect(buffer.get(), &all, GetSysColorBrush(backgroundSysColor_));
    if (picture_) picture_->Draw(buffer.get(), -area.left, -area.top, client.right, client.bottom);
  }
  // The labels are placed in the box's own pixels.
  SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
  if (hostsLabels_) {
    DrawLabels(buffer.get(), WindowDpi(hwnd_), area);
    DrawMark(buffer.get());
  }
  BitBlt(paint.dc(), area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}

void PictureBox::DrawMark(HDC dc) {
  int link = KeyboardMark();
  if (link < 0) return;
  PixelRect p = TwipRectToPixels(lblLink(link).Rect(), WindowDpi(hwnd_));
  RECT r{p.left, p.top, p.right, p.bottom};
  // The dotted rectangle inverts what is under it, so it shows on any picture.
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &r);
}

int PictureBox::LabelUnder(LPARAM point, bool* inside) const {
  POINT p{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  RECT client;
  GetClientRect(hwnd_, &client);
  *inside = PtInRect(&client, p) != FALSE;
  if (!*inside) return -1;
  unsigned dpi = WindowDpi(hwnd_);
  return LabelAt(PixelsToTwips(p.x, dpi), PixelsToTwips(p.y, dpi));
}

void PictureBox::PointerMove(LPARAM point) {
  bool inside = false;
  int label = LabelUnder(point, &inside);
  if (!inside) return;  // moves outside arrive only while a press holds the pointer
  if (label >= 0) {
    Events().Let(MessageTime(), [label] { events::LabelMouseMove(static_cast<int16_t>(label)); });
  } else {
    Events().Let(MessageTime(), [] { events::BackgroundMouseMove(); });
  }
}

void PictureBox::Press(LPARAM point) {
  SetCapture(hwnd_);  // to see the release even outside the window; may clear pressed_
  bool inside = false;
  // A press the gate would not let in starts no click, even when the release comes after it opens.
  pressed_ = Events().Admits(MessageTime()) ? LabelUnder(point, &inside) : -1;
}

void PictureBox::Release(LPARAM point) {
  int pressed = pressed_;
  pressed_ = -1;
  if (GetCapture() == hwnd_) ReleaseCapture();
  bool inside = false;
  int label = LabelUnder(point, &inside);
  // A click is a press and a release on the same visible label, as with a button.
  if (pressed >= 0 && label == pressed) {
    Events().Let(MessageTime(), [label] { events::LabelClick(static_cast<int16_t>(label)); });
  }
}
