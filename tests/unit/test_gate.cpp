// The gate every way in from outside passes: one event at a time, and nothing that came while it was shut
// runs later.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/gate.h"

namespace {

bool Never() {
  return false;
}
void Nothing() {}

// The system as the gate sees it: a clock the test sets, a menu the test disables, and a queue whose
// discarding is recorded with the time it happened.
class TestSystem final : public GateSystem {
 public:
  bool disabled = false;
  uint32_t now = 1000;
  std::vector<uint32_t> discardedAt;

  bool MenuDisabled() override { return disabled; }
  uint32_t Tick() override { return now; }
  void DiscardQueuedInput() override { discardedAt.push_back(now); }
};

struct Fixture {
  TestSystem system;
  EventGate gate{system, Never, Nothing};
  std::vector<std::string> ran;

  // A click from outside, queued at `queuedAt`.
  bool Click(const std::string& what, uint32_t queuedAt) {
    return gate.Let(queuedAt, [this, what] { ran.push_back(what); });
  }
};

TEST(Gate, LetsInOnlyWhatCameWhileItWasOpen) {
  struct Case {
    const char* what;
    bool disabled;
    uint32_t openedAt, queuedAt;
    bool runs;
  } cases[] = {
      {"after the gate opened", false, 1000, 1001, true},
      {"long after", false, 1000, 900000, true},
      {"in the tick it opened", false, 1000, 1000, false},
      {"before it opened: queued while an event ran", false, 1000, 999, false},
      {"the menu disabled by a box", true, 1000, 1001, false},
      // The tick wraps around after 49.7 days.
      {"after, across the wrap", false, 0xFFFFFFF0u, 0x10, true},
      {"before, across the wrap", false, 0x10, 0xFFFFFFF0u, false},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.system.now = c.openedAt;
    f.gate.Raise([] {});  // an event that ends at openedAt
    f.system.disabled = c.disabled;
    f.system.now = c.queuedAt + 5;
    EXPECT_EQ(f.Click("click", c.queuedAt), c.runs) << c.what;
    EXPECT_EQ(f.ran.size(), c.runs ? 1u : 0u) << c.what;
    EXPECT_EQ(f.gate.Open(), !c.disabled) << c.what;
  }
}

TEST(Gate, NothingFromOutsideRunsInsideAnEventNorAfterIt) {
  Fixture f;
  f.system.now = 2000;
  // A click shows a box; the box's own message loop delivers a reader's click, the pointer's and a key's.
  bool insideWasRefused = false, insideWasShut = false;
  EXPECT_TRUE(f.gate.Let(1990, [&] {
    f.ran.push_back("first");
    f.system.now = 2500;
    insideWasShut = !f.gate.Open();
    insideWasRefused = !f.Click("second", 2400) && !f.Click("quit", 2450);
    f.system.now = 9000;  // the user closes the box
  }));
  EXPECT_TRUE(insideWasShut);
  EXPECT_TRUE(insideWasRefused);
  EXPECT_EQ(f.ran, std::vector<std::string>{"first"});
  // What waited in the queue was discarded as the event ended, and anything still stamped before then is
  // refused.
  EXPECT_EQ(f.system.discardedAt, std::vector<uint32_t>{9000});
  f.system.now = 9100;
  EXPECT_FALSE(f.Click("queued while the box was up", 8000));
  EXPECT_TRUE(f.Click("after", 9050));
  EXPECT_EQ(f.ran, (std::vector<std::string>{"first", "after"}));
}

TEST(Gate, AnEventInsideAnotherRunsAndTheGateOpensOnceWhenTheOuterEnds) {
  Fixture f;
  f.system.now = 3000;
  int inner = 0;
  bool shutBetween = false;
  f.gate.Raise([&] {
    f.gate.Raise([&] { ++inner; });  // frmMenu's load inside the start-up
    shutBetween = !f.gate.Open();
    f.system.now = 3500;
  });
  EXPECT_EQ(inner, 1);
  EXPECT_TRUE(shutBetween);
  EXPECT_EQ(f.system.discardedAt, std::vector<uint32_t>{3500});
  EXPECT_TRUE(f.gate.Open());
}

TEST(Gate, AFailedEventStillOpensTheGate) {
  Fixture f;
  f.system.now = 4000;
  f.gate.Raise([] { throw std::bad_alloc(); });
  EXPECT_TRUE(f.gate.Open());
  EXPECT_EQ(f.system.discardedAt, std::vector<uint32_t>{4000});
  f.system.now = 4100;
  EXPECT_TRUE(f.Click("next", 4050));
}

TEST(Gate, APostedClickRunsOnlyOnThePageShowingItWasMeantFor) {
  Fixture f;
  f.system.now = 5000;
  f.gate.NewPageShown();  // the start-up's page
  uint32_t page0 = f.gate.PageShown();
  auto clickFor = [&](uint32_t page, uint32_t queuedAt) {
    return f.gate.LetClick(queuedAt, page, [&] { f.ran.push_back("click"); });
  };
  EXPECT_TRUE(clickFor(page0, 5001));
  // A page link shows page 1: a click posted on page 0 would hit a link of page 1.
  f.gate.NewPageShown();
  EXPECT_NE(f.gate.PageShown(), page0);
  f.system.now = 6000;
  EXPECT_FALSE(clickFor(page0, 5999));
  EXPECT_TRUE(clickFor(f.gate.PageShown(), 5999));
  // Showing page 0 again is a new showing: its links may have moved since.
  f.gate.NewPageShown();
  EXPECT_FALSE(clickFor(page0, 5999));
  EXPECT_EQ(f.ran.size(), 2u);
}

}  // namespace
