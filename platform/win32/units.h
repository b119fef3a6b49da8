// Twips and pixels. Pure arithmetic with no system header, so it can be tested on any host.
// 1440 twips make an inch; at 96 dots per inch a pixel is exactly 15 twips.
#pragma once

#include <cmath>

#include "platform/platform.h"

constexpr unsigned kBaseDpi = 96;
constexpr double kTwipsPerInch = 1440.0;

struct PixelRect {
  int left, top, right, bottom;
};

// A length or position, to the nearest pixel.
inline int TwipsToPixels(double twips, unsigned dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline float PixelsToTwips(double pixels, unsigned dpi) {
  return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

// The pixels a rectangle touches: edges round outwards, so what is drawn inside a label's rectangle stays
// inside the pixels repainted for it. The slack absorbs float error on edges that fall on a pixel boundary.
inline PixelRect TwipRectToPixels(const TwipRect& r, unsigned dpi) {
  const double scale = dpi / kTwipsPerInch;
  const double slack = 1e-4;
  return PixelRect{static_cast<int>(std::floor(r.left * scale + slack)),
                   static_cast<int>(std::floor(r.top * scale + slack)),
                   static_cast<int>(std::ceil((r.left + r.width) * scale - slack)),
                   static_cast<int>(std::ceil((r.top + r.height) * scale - slack))};
}

// A font size in points as a pixel height at this DPI (72 points to the inch).
inline int PointsToPixels(double points, unsigned dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}
