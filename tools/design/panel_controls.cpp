#include "tools/design/panel_controls.h"

#include <cstddef>

#include "platform/win32/dpi.h"
#include "platform/win32/sysdll.h"

namespace {

const wchar_t kOriginalProcProperty[] = L"VelmaroPanelOriginalProc";

LRESULT CALLBACK WatchedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropW(control, kOriginalProcProperty));
  bool enterOrEscape = wParam == VK_RETURN || wParam == VK_ESCAPE;
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(original, control, message, wParam, lParam);
      const MSG* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (!enterOrEscape) break;
      // An open drop-down list takes its own Enter and Escape.
      if (SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) break;
      SendMessageW(GetParent(control), WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(control), wParam == VK_RETURN ? kEnterPressed : kEscapePressed),
                   reinterpret_cast<LPARAM>(control));
      return 0;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == 27) return 0;  // no beep
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(control, kOriginalProcProperty);
      break;
  }
  return CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace

PanelFont::PanelFont(unsigned dpi) {
  NONCLIENTMETRICSW metrics{};
  // Windows 10 1607 on gives the metrics of any DPI; before, the system's are scaled.
  using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = SystemProc<ForDpi>("user32.dll", "SystemParametersInfoForDpi");
  metrics.cbSize = sizeof metrics;
  bool got = dpi && forDpi && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi);
  if (!got) {
    // Without the field Vista added, so that XP answers too.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    got = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE;
    unsigned system = SystemDpi();
    if (got && dpi && dpi != system)
      metrics.lfMessageFont.lfHeight =
          MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
  }
  if (got) font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  if (!font_) {
    int height = dpi ? -ScaleFrom96(12, dpi) : -12;
    font_.reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  }
  ScopedWindowDc dc(nullptr);
  ScopedSelect select(dc.get(), font_.get());
  TEXTMETRICW tm{};
  if (GetTextMetricsW(dc.get(), &tm)) {
    lineHeight_ = tm.tmHeight;
    averageWidth_ = tm.tmAveCharWidth;
  }
}

int PanelFont::TextWidth(const Text& text) const {
  ScopedWindowDc dc(nullptr);
  ScopedSelect select(dc.get(), font_.get());
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

HWND MakeControl(HWND parent,
                 const wchar_t* windowClass,
                 const Text& text,
                 DWORD style,
                 int id,
                 const PanelFont& font) {
  DWORD exStyle = 0;
  if (lstrcmpW(windowClass, L"EDIT") == 0) exStyle = WS_EX_CLIENTEDGE;
  HWND control =
      CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  return control;
}

Text WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  Text text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
  return text;
}

void SetWindowTextIfChanged(HWND window, const Text& text) {
  if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

void Place(HWND window, int x, int y, int width, int height) {
  SetWindowPos(window, nullptr, x, y, width < 0 ? 0 : width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WatchEnterAndEscape(HWND control) {
  LONG_PTR original = GetWindowLongPtrW(control, GWLP_WNDPROC);
  SetPropW(control, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedControlProc));
}

void DrawSwatchButton(const DRAWITEMSTRUCT& item, COLORREF colour, bool readable) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pushed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  int height = r.bottom - r.top;
  int inset = height / 5 + 1;
  RECT swatch{r.left + inset, r.top + inset, r.left + inset + 2 * (height - 2 * inset), r.bottom - inset};
  if (pushed) OffsetRect(&swatch, 1, 1);
  if (!disabled) {
    ScopedGdiObj fill(readable ? CreateSolidBrush(colour) : CreateHatchBrush(HS_DIAGCROSS, RGB(192, 0, 0)));
    FillRect(dc, &swatch, static_cast<HBRUSH>(fill.get()));
    FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  Text text = WindowText(item.hwndItem);
  RECT label{swatch.right + inset, r.top, r.right - inset, r.bottom};
  if (pushed) OffsetRect(&label, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

wchar_t FileNameUpperCase(wchar_t c) {
  return static_cast<wchar_t>(
      reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
}
