// The page view's selection and drag, apart from the window: which link is selected, where a drag has taken
// it, and the move it makes when it ends.
#pragma once

#include <vector>

#include "platform/win32/units.h"
#include "tools/design/link_move.h"

class PageGestures {
 public:
  // `dragThreshold`: how far (pixels) the pointer goes before a press becomes a drag, as the system says.
  explicit PageGestures(int dragThreshold = 4) : dragThreshold_(dragThreshold) {}

  int Selected() const { return selected_; }
  void Select(int link) { selected_ = link; }
  // After a page load: the selection stays while its link is still shown.
  void KeepIfShown(const std::vector<int>& shown);
  // The next (or previous) shown link after the selected one, in index order, wrapping; -1 when none.
  int Next(const std::vector<int>& shown, bool forward) const;

  // A press on `link` (-1: the background) at (x, y). A press on a link selects it and may start a drag;
  // `linkRect` is its box and `others` the boxes of the other shown links, for snapping.
  void Press(int link, int x, int y, const PixelRect& linkRect, std::vector<PixelRect> others);
  // The pointer moved with the button down. Returns true when what is shown changed.
  bool Follow(int x, int y, bool snapping, int reach);
  bool Dragging() const { return dragging_; }
  // The offset shown now, in pixels, and the guides of the snap that gave it.
  const SnapResult& Offset() const { return offset_; }
  // The button came up: true, with the offset, when a drag moved the link by a pixel or more.
  bool Release(int& dx, int& dy);
  void Cancel();

 private:
  int dragThreshold_;
  int selected_ = -1;
  bool pressed_ = false;
  bool dragging_ = false;
  int startX_ = 0, startY_ = 0;
  PixelRect startRect_{0, 0, 0, 0};
  std::vector<PixelRect> others_;
  SnapResult offset_;
};
