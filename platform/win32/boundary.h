// Where the Windows back end stops every exception: at the window procedures and the entry. Nothing may
// unwind through the system's frames that called a window procedure, whatever was thrown (an AppError,
// std::bad_alloc or anything else). No system header, so it is tested on any host.
#pragma once

// Runs `step`; true when it finished, false when it threw anything.
template <class Step>
bool Contained(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

// The boundary of the logic's events. A failed event is dropped; but when the outermost one failed and
// left nothing behind that could ever raise another event (no window shown, no timer), the program would
// wait for messages forever without a window, so it is ended.
class EventBoundary {
 public:
  EventBoundary(bool (*stalled)(), void (*end)()) : stalled_(stalled), end_(end) {}

  template <class Event>
  void Raise(Event&& event) noexcept {
    ++depth_;
    bool finished = Contained(event);
    --depth_;
    // An inner event (frmMenu's load inside the start-up) is judged by the event that raised it.
    if (!finished && depth_ == 0 && stalled_()) end_();
  }

  // Inside an event, of any depth.
  bool Running() const { return depth_ > 0; }

 private:
  bool (*stalled_)();
  void (*end_)();
  int depth_ = 0;
};
