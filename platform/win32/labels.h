// Drawing and measuring of the windowless link labels on pctBG.
#pragma once

#include <cstdint>

#include "platform/win32/win.h"

// Every visible label that meets `area` (pixels of pctBG), from index 49 down to 0 so that the lower index
// ends on top, as LabelAt gives it the pointer.
void DrawLabels(HDC dc, unsigned dpi, const RECT& area);

// A colour value as GDI wants it: a system colour looked up now, a direct colour as it is.
COLORREF DecodeColor(int32_t color);
