// Where the link panel scrolls to when it is shorter than its controls.
#include <gtest/gtest.h>

#include "tools/design/panel_scroll.h"

namespace {

struct ShowCase {
  const char* what;
  int position, top, bottom;
  int expected;
};

// A 1000-pixel panel in a 300-pixel view: positions 0 to 700.
TEST(PanelScroll, BringsAControlIntoViewMovingAsLittleAsItCan) {
  const ShowCase cases[] = {
      {"already whole in view", 100, 150, 180, 100},
      {"at the view's top edge", 100, 100, 130, 100},
      {"at the view's bottom edge", 100, 370, 400, 100},
      {"below: its bottom to the view's bottom", 0, 900, 930, 630},
      {"partly below", 0, 280, 310, 10},
      {"above: its top to the view's top", 500, 40, 70, 40},
      {"partly above", 500, 490, 520, 490},
      {"the last control: no space left under the content", 0, 980, 1000, 700},
      {"taller than the view: its top", 0, 400, 800, 400},
      {"taller than the view near the end: no further than the end", 0, 800, 1200, 700},
      {"a position out of range is brought back", 900, 150, 180, 150},
  };
  for (const ShowCase& c : cases)
    EXPECT_EQ(ScrollToShow(c.position, 1000, 300, c.top, c.bottom), c.expected) << c.what;
}

TEST(PanelScroll, StaysWithinTheContent) {
  EXPECT_EQ(ClampScroll(-5, 1000, 300), 0);
  EXPECT_EQ(ClampScroll(350, 1000, 300), 350);
  EXPECT_EQ(ClampScroll(800, 1000, 300), 700);
  // Everything fits: never scrolled, whatever was kept from a shorter view.
  EXPECT_EQ(ClampScroll(200, 300, 500), 0);
  EXPECT_EQ(ScrollToShow(200, 300, 500, 250, 280), 0);
}

TEST(PanelScroll, WheelTurnsAddUpToWholeLines) {
  WheelTurns wheel;
  EXPECT_EQ(wheel.Lines(-120, 3), 3) << "a notch towards the user goes down";
  EXPECT_EQ(wheel.Lines(120, 3), -3);
  // A touchpad's small turns: a line once a third of a notch has come at three lines a notch.
  EXPECT_EQ(wheel.Lines(-30, 3), 0);
  EXPECT_EQ(wheel.Lines(-30, 3), 1);
  EXPECT_EQ(wheel.Lines(-60, 3), 2) << "a line and a half, with the half line left before";
  // What was left of a turn one way does not count against a turn the other way.
  EXPECT_EQ(wheel.Lines(-30, 3), 0);
  EXPECT_EQ(wheel.Lines(30, 3), 0);
  EXPECT_EQ(wheel.Lines(10, 3), -1);
  // Scrolling turned off.
  EXPECT_EQ(wheel.Lines(-120, 0), 0);
}

}  // namespace
