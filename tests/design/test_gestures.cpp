// The page view's selection and drag, apart from the window.
#include <gtest/gtest.h>

#include "tools/design/page_gestures.h"

namespace {

TEST(Gestures, APressSelectsAndADragPastTheThresholdMoves) {
  PageGestures g(4);
  g.Press(2, 100, 100, PixelRect{90, 90, 150, 110}, {});
  EXPECT_EQ(g.Selected(), 2);
  EXPECT_FALSE(g.Follow(103, 102, true, 5)) << "within the threshold: still a click";
  EXPECT_FALSE(g.Dragging());
  EXPECT_TRUE(g.Follow(120, 110, true, 5));
  EXPECT_TRUE(g.Follow(103, 102, true, 5)) << "once dragging, every pixel counts";
  int dx = 0, dy = 0;
  EXPECT_TRUE(g.Release(dx, dy));
  EXPECT_EQ(dx, 3);
  EXPECT_EQ(dy, 2);
  EXPECT_EQ(g.Selected(), 2);
}

TEST(Gestures, ADragBackToItsStartOrAClickMovesNothing) {
  PageGestures g(4);
  int dx = 0, dy = 0;
  g.Press(1, 10, 10, PixelRect{0, 0, 20, 20}, {});
  EXPECT_FALSE(g.Release(dx, dy));
  g.Press(1, 10, 10, PixelRect{0, 0, 20, 20}, {});
  g.Follow(40, 40, false, 5);
  g.Follow(10, 10, false, 5);
  EXPECT_FALSE(g.Release(dx, dy));
  g.Press(-1, 10, 10, PixelRect{0, 0, 0, 0}, {});
  EXPECT_EQ(g.Selected(), -1);
  EXPECT_FALSE(g.Follow(50, 50, false, 5)) << "a press on the background drags nothing";
}

TEST(Gestures, ADragStopsAtThePicturesCornerAndSnaps) {
  PageGestures g(0);
  g.Press(0, 50, 50, PixelRect{30, 40, 60, 50}, {PixelRect{100, 0, 120, 10}});
  g.Follow(0, 0, true, 5);
  EXPECT_EQ(g.Offset().dx, -30);
  EXPECT_EQ(g.Offset().dy, -40);
  g.Follow(118, 50, true, 5);  // left edge 98: snaps to 100
  EXPECT_EQ(g.Offset().dx, 70);
  EXPECT_EQ(g.Offset().guides.size(), 1u);
  g.Follow(118, 50, false, 5);
  EXPECT_EQ(g.Offset().dx, 68) << "without snapping the pointer decides";
}

TEST(Gestures, SelectionGoesRoundTheShownLinksAndFollowsThePage) {
  PageGestures g;
  const std::vector<int> shown = {7, 2, 4};
  EXPECT_EQ(g.Next(shown, true), 2);
  EXPECT_EQ(g.Next(shown, false), 7);
  g.Select(4);
  EXPECT_EQ(g.Next(shown, true), 7);
  g.Select(7);
  EXPECT_EQ(g.Next(shown, true), 2);
  EXPECT_EQ(g.Next({}, true), -1);
  g.KeepIfShown({2, 7});
  EXPECT_EQ(g.Selected(), 7);
  g.KeepIfShown({2});
  EXPECT_EQ(g.Selected(), -1);
}

}  // namespace
