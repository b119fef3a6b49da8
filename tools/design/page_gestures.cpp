#include "tools/design/page_gestures.h"

#include <algorithm>
#include <cstdlib>

void PageGestures::KeepIfShown(const std::vector<int>& shown) {
  if (std::find(shown.begin(), shown.end(), selected_) == shown.end()) selected_ = -1;
}

int PageGestures::Next(const std::vector<int>& shown, bool forward) const {
  if (shown.empty()) return -1;
  std::vector<int> order(shown);
  std::sort(order.begin(), order.end());
  auto at = std::find(order.begin(), order.end(), selected_);
  if (at == order.end()) return forward ? order.front() : order.back();
  std::size_t i = static_cast<std::size_t>(at - order.begin());
  return forward ? order[(i + 1) % order.size()] : order[(i + order.size() - 1) % order.size()];
}

void PageGestures::Press(int link, int x, int y, const PixelRect& linkRect, std::vector<PixelRect> others) {
  selected_ = link;
  pressed_ = link >= 0;
  dragging_ = false;
  startX_ = x;
  startY_ = y;
  startRect_ = linkRect;
  others_ = std::move(others);
  offset_ = SnapResult();
}

bool PageGestures::Follow(int x, int y, bool snapping, int reach) {
  if (!pressed_) return false;
  int dx = x - startX_, dy = y - startY_;
  if (!dragging_ && std::abs(dx) <= dragThreshold_ && std::abs(dy) <= dragThreshold_) return false;
  dragging_ = true;
  // The corner never goes left of or above the picture, as the move written will not.
  dx = std::max(dx, -startRect_.left);
  dy = std::max(dy, -startRect_.top);
  SnapResult next = snapping ? Snap(startRect_, dx, dy, others_, reach) : SnapResult{dx, dy, {}};
  next.dx = std::max(next.dx, -startRect_.left);
  next.dy = std::max(next.dy, -startRect_.top);
  bool changed =
      next.dx != offset_.dx || next.dy != offset_.dy || next.guides.size() != offset_.guides.size();
  offset_ = std::move(next);
  return changed;
}

bool PageGestures::Release(int& dx, int& dy) {
  bool moved = dragging_ && (offset_.dx != 0 || offset_.dy != 0);
  dx = offset_.dx;
  dy = offset_.dy;
  Cancel();
  return moved;
}

void PageGestures::Cancel() {
  pressed_ = false;
  dragging_ = false;
  offset_ = SnapResult();
}
