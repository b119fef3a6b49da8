// Where a panel taller than its window is scrolled to: kept within its content, moved to bring a control
// into view, and moved by the mouse wheel, whose small turns (a touchpad's) add up to whole lines.
#pragma once

// Pixels of the content hidden above the view, within 0 and what leaves no empty space below the content.
int ClampScroll(int position, int contentHeight, int viewHeight);

// The position that shows content rows [top, bottom) whole, moving as little as it can; a part taller than
// the view shows its top.
int ScrollToShow(int position, int contentHeight, int viewHeight, int top, int bottom);

class WheelTurns {
 public:
  // Lines to scroll for a turn of `delta` (120 a notch, positive away from the user: up) at `linesPerNotch`
  // lines a notch; what is less than a line is kept for the next turn. Positive: down the content.
  int Lines(int delta, int linesPerNotch);

 private:
  int pending_ = 0;  // of a notch, in delta units times lines per notch
};
