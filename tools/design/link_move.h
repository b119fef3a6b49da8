// Moving a link on the page: whole pixels of the screen the page is shown on, written as whole twips, and
// snapping to the edges of the other links. Pure arithmetic and one edit of the document.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32/units.h"
#include "tools/edit/text_document.h"

// A pixel offset in twips at this DPI, to the nearest whole twip: 15 a pixel at 96 DPI, 10 at 144.
long PixelsToTwipDelta(int pixels, unsigned dpi);

// Where a link lands when moved by whole pixels from where the page shows it. Never left of or above the
// picture's corner, so a link cannot be lost off the page.
struct TwipPoint {
  long left = 0;
  long top = 0;
  bool operator==(const TwipPoint& other) const { return left == other.left && top == other.top; }
};
TwipPoint MovedPosition(float left, float top, int dx, int dy, unsigned dpi);

// A guide shown while a drag snaps: a vertical line at x (from top to bottom) or a horizontal one at y.
struct SnapGuide {
  bool vertical = true;
  int at = 0;
  int from = 0, to = 0;
};

struct SnapResult {
  int dx = 0, dy = 0;
  std::vector<SnapGuide> guides;
};

// Adjusts a drag of `moving` by (dx, dy) pixels so that its left, right, top or bottom edge (or its
// centre) lines up with an edge of one of `others` when within `reach` pixels; the nearest line wins on
// each axis.
SnapResult Snap(const PixelRect& moving, int dx, int dy, const std::vector<PixelRect>& others, int reach);

// Writes the link's left and top (menu.inf line `line`) as one step of undo, changing only the fields whose
// value changes. Throws EditError as the editor does; nothing changes then.
void WriteLinkPosition(TextDocument& menu, std::size_t line, const TwipPoint& position);
