// The link labels on Windows: one font per face, size and style at a DPI, text measured and drawn by the
// same DrawText call, so that a label's rectangle always covers what is drawn in it.
#include "platform/win32/labels.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "platform/controls.h"
#include "platform/win32/scoped.h"
#include "platform/win32/units.h"

namespace {

// Single line, left aligned, "&" marking the access key.
constexpr UINT kTextFormat = DT_SINGLELINE | DT_LEFT | DT_TOP;

// Fonts stay while labels show them; a page with many faces and sizes just empties the cache.
class LabelFonts {
 public:
  static LabelFonts& Shared() {
    // Never freed: a font may be selected into a DC until the process ends.
    static auto* fonts = new LabelFonts();
    return *fonts;
  }

  HFONT For(const LabelFont& font, unsigned dpi) {
    Key key{font.name, font.size, font.bold, font.italic, dpi};
    auto found = made_.find(key);
    if (found != made_.end()) return static_cast<HFONT>(found->second.get());
    if (made_.size() >= kMostKept) made_.clear();
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
    if (handle) made_[key] = std::move(created);
    return handle ? handle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }

 private:
  using Key = std::tuple<Text, float, bool, bool, unsigned>;
  static constexpr std::size_t kMostKept = 64;
  std::map<Key, ScopedGdiObj> made_;
};

}  // namespace

HFONT LabelFontHandle(const LabelFont& font, unsigned dpi) {
  return LabelFonts::Shared().For(font, dpi);
}

SIZE MeasureLabelPixels(HDC dc, const LabelFont& font, unsigned dpi, const Text& caption) {
  ScopedSelect select(dc, LabelFontHandle(font, dpi));
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, kTextFormat | DT_CALCRECT);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  LONG width = r.right - r.left, height = std::max<LONG>(r.bottom - r.top, tm.tmHeight);
  // An italic last letter leans past its advance width, which DrawText leaves out; it is added so that the
  // label's rectangle covers it.
  Text shown = ShownCaption(caption);
  if (!shown.empty()) {
    ABC abc{};
    if (GetCharABCWidthsW(dc, shown.back(), shown.back(), &abc) && abc.abcC < 0) width -= abc.abcC;
  }
  return SIZE{width, height};
}

TwipSize MeasureLabel(HDC dc, const LabelFont& font, unsigned dpi, const Text& caption) {
  SIZE size = MeasureLabelPixels(dc, font, dpi, caption);
  return TwipSize{PixelsToTwips(size.cx, dpi), PixelsToTwips(size.cy, dpi)};
}

COLORREF DecodeColor(int32_t color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

void DrawLabel(HDC dc,
               unsigned dpi,
               const LabelFont& font,
               int32_t color,
               const Text& caption,
               const TwipRect& rect) {
  PixelRect p = TwipRectToPixels(rect, dpi);
  RECT r{p.left, p.top, p.right, p.bottom};
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(dc, DecodeColor(color));
  ScopedSelect select(dc, LabelFontHandle(font, dpi));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, kTextFormat);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void DrawLabels(HDC dc, unsigned dpi, const RECT& area) {
  SetBkMode(dc, TRANSPARENT);
  for (int i = kLinkCount - 1; i >= 0; --i) {
    const Label& label = lblLink(i);
    if (!label.Visible()) continue;
    PixelRect p = TwipRectToPixels(label.Rect(), dpi);
    RECT r{p.left, p.top, p.right, p.bottom}, common;
    if (!IntersectRect(&common, &r, &area)) continue;
    ScopedSelect font(dc, LabelFontHandle(label.Font(), dpi));
    SetTextColor(dc, DecodeColor(label.ForeColor()));
    const Text& caption = label.Caption();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, kTextFormat);
  }
}
