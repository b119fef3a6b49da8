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

// GDI takes coordinates up to 2^27; staying at 2^26 keeps the sum of two of them in range too. A label
// placed or sized beyond it (a position of 1e30 twips) simply lies off the window.
constexpr double kGdiLimit = 1 << 26;

// Pixels as GDI takes them: clamped, and NaN as 0, since converting a float that no int can hold is
// undefined.
inline int ToGdi(double pixels) {
  if (!(pixels == pixels)) return 0;
  if (pixels > kGdiLimit) return static_cast<int>(kGdiLimit);
  if (pixels < -kGdiLimit) return -static_cast<int>(kGdiLimit);
  return static_cast<int>(pixels);
}

// A length or position, to the nearest pixel.
inline int TwipsToPixels(double twips, unsigned dpi) {
  return ToGdi(std::round(twips * dpi / kTwipsPerInch));
}

inline float PixelsToTwips(double pixels, unsigned dpi) {
  return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

// The pixels a rectangle touches: edges round outwards, so what is drawn inside a label's rectangle stays
// inside the pixels repainted for it. The slack absorbs float error on edges that fall on a pixel boundary.
inline PixelRect TwipRectToPixels(const TwipRect& r, unsigned dpi) {
  const double scale = dpi / kTwipsPerInch;
  const double slack = 1e-4;
  return PixelRect{ToGdi(std::floor(r.left * scale + slack)), ToGdi(std::floor(r.top * scale + slack)),
                   ToGdi(std::ceil((static_cast<double>(r.left) + r.width) * scale - slack)),
                   ToGdi(std::ceil((static_cast<double>(r.top) + r.height) * scale - slack))};
}

// A font size in points as a pixel height at this DPI (72 points to the inch).
inline int PointsToPixels(double points, unsigned dpi) {
  return ToGdi(std::round(points * dpi / 72.0));
}
