// The link labels on Windows: one font per face, size and style at the window's DPI, text measured and drawn
// by the same DrawText call, so that a label's rectangle always covers what is drawn in it.
#include "platform/win32/labels.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "platform/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/picture_box.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

namespace {

// Single line, left aligned, "&" marking the access key.
constexpr UINT kTextFormat = DT_SINGLELINE | DT_LEFT | DT_TOP;

using FontKey = std::tuple<Text, float, bool, bool, unsigned>;

// Fonts stay while the menu shows them; a page with many faces and sizes just empties the cache.
HFONT FontFor(const LabelFont& font, unsigned dpi) {
  static auto* cache = new std::map<FontKey, ScopedGdiObj>();
  FontKey key{font.name, font.size, font.bold, font.italic, dpi};
  auto found = cache->find(key);
  if (found != cache->end()) return static_cast<HFONT>(found->second.get());
  if (cache->size() >= 64) cache->clear();
  LOGFONTW lf{};
  lf.lfHeight = -PointsToPixels(font.size, dpi);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
  ScopedGdiObj created(CreateFontIndirectW(&lf));
  HFONT handle = static_cast<HFONT>(created.get());
  if (handle) (*cache)[key] = std::move(created);
  return handle ? handle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The pixels the text covers in `dc`'s current font. An italic last letter leans past its advance width,
// which DrawText leaves out; it is added so that the label's rectangle covers it.
SIZE MeasurePixels(HDC dc, const Text& caption) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, kTextFormat | DT_CALCRECT);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  LONG width = r.right - r.left, height = std::max<LONG>(r.bottom - r.top, tm.tmHeight);
  Text shown = ShownCaption(caption);
  if (!shown.empty()) {
    ABC abc{};
    if (GetCharABCWidthsW(dc, shown.back(), shown.back(), &abc) && abc.abcC < 0) width -= abc.abcC;
  }
  return SIZE{width, height};
}

}  // namespace

COLORREF DecodeColor(int32_t color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

void DrawLabels(HDC dc, unsigned dpi, const RECT& area) {
  SetBkMode(dc, TRANSPARENT);
  for (int i = kLinkCount - 1; i >= 0; --i) {
    const Label& label = lblLink(i);
    if (!label.Visible()) continue;
    PixelRect p = TwipRectToPixels(label.Rect(), dpi);
    RECT r{p.left, p.top, p.right, p.bottom}, common;
    if (!IntersectRect(&common, &r, &area)) continue;
    ScopedSelect font(dc, FontFor(label.Font(), dpi));
    SetTextColor(dc, DecodeColor(label.ForeColor()));
    const Text& caption = label.Caption();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, kTextFormat);
  }
}

TwipSize Win32Platform::MeasureText(const LabelFont& font, const Text& caption) {
  // The labels belong to frmMenu, so measuring one is a use of it; its DPI is the one they are drawn at.
  HWND menu = Form(Win::Menu);
  unsigned dpi = WindowDpi(menu);
  ScopedWindowDc dc(menu);
  ScopedSelect select(dc.get(), FontFor(font, dpi));
  SIZE size = MeasurePixels(dc.get(), caption);
  return TwipSize{PixelsToTwips(size.cx, dpi), PixelsToTwips(size.cy, dpi)};
}

void Win32Platform::RepaintLabel(int, const TwipRect& before, const TwipRect& after) {
  MenuBox().InvalidateTwips(before, after);
}
