// Twips to pixels at the scalings a menu must look right at.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/win32/units.h"

namespace {

struct ScaleCase {
  unsigned dpi;
  double twips;
  int pixels;
};

TEST(Units, FifteenTwipsArePixelAtNinetySixDpi) {
  const ScaleCase cases[] = {
      {96, 15, 1},      {96, 5415, 361}, {96, 7200, 480}, {120, 7200, 600},  {144, 7200, 720},
      {192, 7200, 960}, {144, 240, 24},  {120, 15, 1},    {96, -577.5, -39}, {144, 7, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
  for (unsigned dpi : {96u, 120u, 144u, 192u})
    EXPECT_FLOAT_EQ(PixelsToTwips(dpi, dpi), 1440.0f);
  EXPECT_EQ(PointsToPixels(12, 96), 16);
  EXPECT_EQ(PointsToPixels(12, 144), 24);
}

TEST(Units, LabelRectanglesRoundOutwards) {
  PixelRect exact = TwipRectToPixels(TwipRect{240, 300, 840, 270}, 96);
  EXPECT_EQ(exact.left, 16);
  EXPECT_EQ(exact.top, 20);
  EXPECT_EQ(exact.right, 72);
  EXPECT_EQ(exact.bottom, 38);
  PixelRect between = TwipRectToPixels(TwipRect{247, 300.5f, 841, 270}, 96);
  EXPECT_EQ(between.left, 16);
  EXPECT_EQ(between.top, 20);
  EXPECT_EQ(between.right, 73);
  EXPECT_EQ(between.bottom, 39);
  PixelRect scaled = TwipRectToPixels(TwipRect{240, 300, 840, 270}, 120);
  EXPECT_EQ(scaled.left, 20);
  EXPECT_EQ(scaled.right, 90);
}

// Positions and sizes near the single-precision limit, or beyond it after a width is added, reach GDI
// clamped instead of through an undefined conversion (UBSan stops the test there).
TEST(Units, ExtremeValuesAreClampedForGdi) {
  const float huge = 1e30f, inf = std::numeric_limits<float>::infinity();
  const int limit = 1 << 26;
  for (double twips : {1e30, 3.4e38, double(inf)}) {
    EXPECT_EQ(TwipsToPixels(twips, 144), limit) << twips;
    EXPECT_EQ(TwipsToPixels(-twips, 144), -limit) << twips;
    EXPECT_EQ(PointsToPixels(twips, 96), limit) << twips;
  }
  EXPECT_EQ(TwipsToPixels(std::nan(""), 96), 0);
  PixelRect far = TwipRectToPixels(TwipRect{huge, -huge, 3.4e38f, inf}, 192);
  EXPECT_EQ(far.left, limit);
  EXPECT_EQ(far.top, -limit);
  EXPECT_EQ(far.right, limit);
  EXPECT_EQ(far.bottom, limit);
}

}  // namespace
