// The back end's exception boundary: nothing escapes, and a failure that leaves no window ends the program.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "platform/errors.h"
#include "platform/win32/boundary.h"

namespace {

bool stalled = false;
int ended = 0;
bool Stalled() {
  return stalled;
}
void End() {
  ++ended;
}

struct Thrower {
  const char* what;
  void (*raise)();
};

const Thrower kThrowers[] = {
    {"AppError", [] { throw AppError(ErrorKind::FileNotFound); }},
    {"std::bad_alloc", [] { throw std::bad_alloc(); }},
    {"std::length_error", [] { throw std::length_error("long"); }},
    {"an int", [] { throw 7; }},
};

TEST(Boundary, EveryExceptionIsContained) {
  for (const Thrower& t : kThrowers)
    EXPECT_FALSE(Contained(t.raise)) << t.what;
  int ran = 0;
  EXPECT_TRUE(Contained([&] { ++ran; }));
  EXPECT_EQ(ran, 1);
}

TEST(Boundary, FailedEventWithNothingLeftOnScreenEndsTheProgram) {
  struct Case {
    const char* what;
    bool fails, stalled;
    int ends;
  } cases[] = {
      {"failed, nothing left", true, true, 1},
      {"failed, a window still shown", true, false, 0},
      {"finished, nothing left (the logic ends itself)", false, true, 0},
  };
  for (const Case& c : cases) {
    for (const Thrower& t : kThrowers) {
      stalled = c.stalled;
      ended = 0;
      EventBoundary boundary(Stalled, End);
      boundary.Raise([&] {
        if (c.fails) t.raise();
      });
      EXPECT_EQ(ended, c.ends) << c.what << " with " << t.what;
    }
  }
}

TEST(Boundary, InnerEventIsJudgedByTheOuterOne) {
  stalled = true;
  ended = 0;
  EventBoundary boundary(Stalled, End);
  // frmMenu's load fails inside the start-up, which then goes on and shows the menu.
  boundary.Raise([&] {
    boundary.Raise([] { throw std::bad_alloc(); });
    EXPECT_EQ(ended, 0);
    stalled = false;
  });
  EXPECT_EQ(ended, 0);
  // The outer one failing after the inner one did ends it.
  stalled = true;
  boundary.Raise([&] {
    boundary.Raise([] { throw std::bad_alloc(); });
    throw std::bad_alloc();
  });
  EXPECT_EQ(ended, 1);
}

}  // namespace
