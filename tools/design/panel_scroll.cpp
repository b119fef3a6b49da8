#include "tools/design/panel_scroll.h"

#include <algorithm>

namespace {

constexpr int kNotch = 120;  // WHEEL_DELTA

}  // namespace

int ClampScroll(int position, int contentHeight, int viewHeight) {
  return std::max(0, std::min(position, contentHeight - viewHeight));
}

int ScrollToShow(int position, int contentHeight, int viewHeight, int top, int bottom) {
  if (bottom - top > viewHeight || top < position) return ClampScroll(top, contentHeight, viewHeight);
  if (bottom > position + viewHeight) return ClampScroll(bottom - viewHeight, contentHeight, viewHeight);
  return ClampScroll(position, contentHeight, viewHeight);
}

int WheelTurns::Lines(int delta, int linesPerNotch) {
  if (linesPerNotch <= 0) return 0;
  // A turn the other way drops what was left of the last one.
  if ((pending_ > 0 && delta < 0) || (pending_ < 0 && delta > 0)) pending_ = 0;
  pending_ += delta * linesPerNotch;
  int lines = pending_ / kNotch;
  pending_ -= lines * kNotch;
  return -lines;
}
