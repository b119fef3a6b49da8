#include "tools/design/link_move.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "tools/edit/menu_editor.h"

long PixelsToTwipDelta(int pixels, unsigned dpi) {
  return std::lround(pixels * kTwipsPerInch / dpi);
}

TwipPoint MovedPosition(float left, float top, int dx, int dy, unsigned dpi) {
  auto moved = [dpi](float from, int by) {
    double to = std::round(static_cast<double>(from)) + PixelsToTwipDelta(by, dpi);
    return to < 0 ? 0L : static_cast<long>(to);
  };
  return TwipPoint{moved(left, dx), moved(top, dy)};
}

namespace {

struct AxisSnap {
  int shift = 0;
  int distance = -1;  // -1: nothing within reach
  int at = 0;
};

// The moving edges (already shifted by the drag) against the others' edges on one axis.
void SnapAxis(const int (&moving)[3], const std::vector<int>& targets, int reach, AxisSnap& best) {
  for (int edge : moving) {
    for (int target : targets) {
      int distance = std::abs(target - edge);
      if (distance > reach || (best.distance >= 0 && distance >= best.distance)) continue;
      best.distance = distance;
      best.shift = target - edge;
      best.at = target;
    }
  }
}

}  // namespace

SnapResult Snap(const PixelRect& moving, int dx, int dy, const std::vector<PixelRect>& others, int reach) {
  std::vector<int> xs, ys;
  for (const PixelRect& r : others) {
    xs.insert(xs.end(), {r.left, r.right, (r.left + r.right) / 2});
    ys.insert(ys.end(), {r.top, r.bottom, (r.top + r.bottom) / 2});
  }
  const int left = moving.left + dx, right = moving.right + dx;
  const int top = moving.top + dy, bottom = moving.bottom + dy;
  AxisSnap x, y;
  SnapAxis({left, right, (left + right) / 2}, xs, reach, x);
  SnapAxis({top, bottom, (top + bottom) / 2}, ys, reach, y);

  SnapResult result{dx + x.shift, dy + y.shift, {}};
  // A guide spans the moved link and every link that shares the line.
  auto addGuide = [&](const AxisSnap& snap, bool vertical) {
    if (snap.distance < 0) return;
    SnapGuide guide{vertical, snap.at, 0, 0};
    guide.from = vertical ? top + y.shift : left + x.shift;
    guide.to = vertical ? bottom + y.shift : right + x.shift;
    for (const PixelRect& r : others) {
      bool shares = vertical ? (r.left == snap.at || r.right == snap.at || (r.left + r.right) / 2 == snap.at)
                             : (r.top == snap.at || r.bottom == snap.at || (r.top + r.bottom) / 2 == snap.at);
      if (!shares) continue;
      guide.from = std::min(guide.from, vertical ? r.top : r.left);
      guide.to = std::max(guide.to, vertical ? r.bottom : r.right);
    }
    result.guides.push_back(guide);
  };
  addGuide(x, true);
  addGuide(y, false);
  return result;
}

void WriteLinkPosition(TextDocument& menu, std::size_t line, const TwipPoint& position) {
  MenuEditor editor(menu);
  TextDocument::Group step(menu);
  // A field that already reads as the value stays as written ("300.0", " 300").
  auto write = [&](MenuField field, long value) {
    try {
      if (ToSingle(editor.Field(line, field)) == static_cast<float>(value)) return;
    } catch (const AppError&) {
    }
    editor.SetField(line, field, ToDecimalText(static_cast<int32_t>(value)));
  };
  write(MenuField::Left, position.left);
  write(MenuField::Top, position.top);
}
