// The one way into the program's logic. Every event passes the boundary (boundary.h); those that come from
// outside (the pointer, keys, a screen reader's calls and the clicks they post) also pass the gate, which
// lets one in only while no event runs and the menu takes input. What came while the gate was shut is
// dropped, never run later: a modal loop (a message box, the shell) delivers it with the gate shut, and what
// waited in the queue meanwhile is discarded, or refused for its time, when the gate opens again. A posted
// click also names the showing of a page it was meant for, so a link of the page after it is never clicked.
// No system header, so it is tested on any host.
#pragma once

#include <cstdint>

#include "platform/win32/boundary.h"

// What the gate asks of the system.
class GateSystem {
 public:
  virtual ~GateSystem() = default;
  // The menu window takes no input (a box it owns is up).
  virtual bool MenuDisabled() = 0;
  // The clock that message times are read on, in milliseconds; it wraps around after 49.7 days.
  virtual uint32_t Tick() = 0;
  // Removes the pointer's and the keys' messages and the posted clicks still waiting in the queue.
  virtual void DiscardQueuedInput() = 0;
};

class EventGate {
 public:
  EventGate(GateSystem& system, bool (*stalled)(), void (*end)())
      : system_(system), boundary_(stalled, end), openedAt_(system.Tick()) {}

  // An event the program raises itself (start-up, the timer, a window's load, its close), or one inside
  // another event: it always runs.
  template <class Event>
  void Raise(Event&& event) noexcept {
    boundary_.Raise(event);
    if (!boundary_.Running()) Reopen();
  }

  // An event from outside, queued at `queuedAt` (the message's time). True when it ran.
  template <class Event>
  bool Let(uint32_t queuedAt, Event&& event) noexcept {
    if (!Admits(queuedAt)) return false;
    Raise(event);
    return true;
  }
  // A click posted for the showing `page` of a page.
  template <class Event>
  bool LetClick(uint32_t queuedAt, uint32_t page, Event&& event) noexcept {
    return page == pageShown_ && Let(queuedAt, event);
  }

  // No event runs and the menu takes input: what screen readers are told of the links.
  bool Open() const { return !boundary_.Running() && !system_.MenuDisabled(); }
  // Open, and open all the time since `queuedAt`. A time in the same tick as the opening counts as
  // before it: a hand needs far longer to answer what it saw.
  bool Admits(uint32_t queuedAt) const { return Open() && static_cast<int32_t>(queuedAt - openedAt_) > 0; }

  // Which showing of a page is on screen; every page load ends a showing.
  uint32_t PageShown() const { return pageShown_; }
  void NewPageShown() { ++pageShown_; }

 private:
  void Reopen() {
    system_.DiscardQueuedInput();
    openedAt_ = system_.Tick();
  }

  GateSystem& system_;
  EventBoundary boundary_;
  uint32_t openedAt_;
  uint32_t pageShown_ = 0;
};
