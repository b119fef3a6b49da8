// The link labels' fonts, measuring and drawing into any DC at any DPI: the program's menu paints with it,
// and so do the tools that show a page as the program shows it. Nothing here needs the program's windows.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/win32/win.h"

// The font a label of `font` is made in at `dpi`: kept while labels use it, so the caller never frees it.
// The default GUI font when the system makes none.
HFONT LabelFontHandle(const LabelFont& font, unsigned dpi);

// The pixels `caption` covers in a label of `font` at `dpi`, measured in `dc` (any DC of the screen: a
// window's or a memory DC): its rectangle covers whatever DrawLabel draws of it.
SIZE MeasureLabelPixels(HDC dc, const LabelFont& font, unsigned dpi, const Text& caption);
// The same in twips, as the program's labels take their size.
TwipSize MeasureLabel(HDC dc, const LabelFont& font, unsigned dpi, const Text& caption);

// One label: `caption` ("&" marking the access key) in `color` (as menu.inf stores it, a system colour
// too), one line from the top left of `rect` (twips), clipped to it.
void DrawLabel(HDC dc,
               unsigned dpi,
               const LabelFont& font,
               int32_t color,
               const Text& caption,
               const TwipRect& rect);

// Every visible label that meets `area` (pixels of pctBG), from index 49 down to 0 so that the lower index
// ends on top, as LabelAt gives it the pointer.
void DrawLabels(HDC dc, unsigned dpi, const RECT& area);

// A colour value as GDI wants it: a system colour looked up now, a direct colour as it is.
COLORREF DecodeColor(int32_t color);
