// Any menu.inf loaded as page 0 of a running menu, then a scripted user: over every shown link, a click on
// it, over the background, and the pointer routed to the link's middle, repeated on whatever page the clicks
// lead to. Checked after every event: stored actions keep their form, the highlight matches the colours,
// each click does what its stored action says, nothing follows the end and no file stays open.
#include <array>

#include "check.h"
#include "menu/fields.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"

namespace {

FakePlatform& Disc() {
  static FakePlatform* fake = [] {
    auto* disc = new FakePlatform;
    disc->AddPicture(L"D:\\menu.bmp", 400, 300);
    disc->AddFile(L"D:\\setup.exe", "MZ");
    disc->AddFile(L"D:\\sounds\\hello.wav", "RIFF");
    disc->AddFile(L"D:\\docs\\guide.pdf", "%PDF");
    disc->AddFile(L"D:\\kavo.inf", "001\r\n\r\n\r\nmenu.bmp\r\nsounds\\bg.wav\r\nsounds\\mo.wav\r\n");
    return disc;
  }();
  return *fake;
}

template <class Convert>
bool Converts(Convert convert) {
  try {
    convert();
    return true;
  } catch (const AppError&) {
    return false;
  }
}

// A stored action is the text of a type 0 to 8; types that take an argument have a bar after it.
void CheckStoredActions() {
  for (const Text& stored : linkActions) {
    if (stored.empty()) continue;
    const std::size_t bar = stored.find(L'|');
    const Text type = stored.substr(0, bar);
    double value = -1;
    FUZZ_CHECK(Converts([&] { value = ToDouble(type); }));
    FUZZ_CHECK(value == 0 || value == 1 || value == 2 || value == 3 || value == 4 || value == 5 ||
               value == 6 || value == 7 || value == 8);
    const bool takesArgument = !(value == 4 || value == 6 || value == 7);
    FUZZ_CHECK(takesArgument == (bar != Text::npos));
  }
}

struct Colours {
  int32_t fore;
  Text tag;
};

class User {
 public:
  explicit User(FakePlatform& fake) : fake_(fake) {}

  void Check() {
    CheckNothingAfterTheEnd(fake_.transcript, fake_.ended);
    FUZZ_CHECK(!FileIsOpen());
    CheckStoredActions();
    // While a complete page is up, the highlighted link shows its colours exchanged exactly once.
    if (menuReady && frmMenu.changeMO) {
      FUZZ_CHECK(frmMenu.lastMO >= 0 && frmMenu.lastMO < kLinkCount);
      const Label& label = lblLink(frmMenu.lastMO);
      FUZZ_CHECK(label.Tag() == ToDecimalText(highlighted_.fore));
      FUZZ_CHECK(label.ForeColor() == ToInt32(highlighted_.tag));
    }
  }

  void Over(int16_t index) {
    const Snapshot before = Take();
    const std::size_t mark = fake_.transcript.size();
    fake_.MoveOverLabel(index);
    const Lines lines = Since(mark);
    if (before.ended || before.changeMO) {
      FUZZ_CHECK(lines.empty());
      FUZZ_CHECK(Unchanged(before, -1));
      return;
    }
    FUZZ_CHECK(lines == kMouseOverSound);
    if (frmMenu.changeMO) {
      FUZZ_CHECK(menuReady);
      FUZZ_CHECK(frmMenu.lastMO == index);
      highlighted_ = before.colours[static_cast<std::size_t>(index)];
      FUZZ_CHECK(Unchanged(before, index));
    } else {
      // A page that stopped part-way, or a highlight colour that is no number: the sound only.
      FUZZ_CHECK(!menuReady ||
                 !Converts([&] { ToInt32(before.colours[static_cast<std::size_t>(index)].tag); }));
      FUZZ_CHECK(Unchanged(before, -1));
    }
    Check();
  }

  void OverBackground() {
    const Snapshot before = Take();
    const std::size_t mark = fake_.transcript.size();
    fake_.MoveOverBackground();
    FUZZ_CHECK(Since(mark).empty());
    if (!before.ended && before.changeMO && before.menuReady) {
      FUZZ_CHECK(!frmMenu.changeMO);
      const Label& label = lblLink(frmMenu.lastMO);
      FUZZ_CHECK(label.ForeColor() == highlighted_.fore);
      FUZZ_CHECK(label.Tag() == ToDecimalText(ToInt32(highlighted_.tag)));
      FUZZ_CHECK(Unchanged(before, frmMenu.lastMO));
    } else {
      FUZZ_CHECK(frmMenu.changeMO == before.changeMO);
      FUZZ_CHECK(Unchanged(before, -1));
    }
    Check();
  }

  void Click(int16_t index) {
    const Snapshot before = Take();
    const Text stored = linkActions[static_cast<std::size_t>(index)];
    const std::size_t mark = fake_.transcript.size();
    fake_.Click(index);
    const Lines lines = Since(mark);
    FUZZ_CHECK(linkActions[static_cast<std::size_t>(index)] == stored || IsPageLoad(lines));
    if (before.ended) {
      FUZZ_CHECK(lines.empty());
    } else {
      CheckClick(stored, lines);
    }
    if (!IsPageLoad(lines)) {
      FUZZ_CHECK(frmMenu.changeMO == before.changeMO);
      FUZZ_CHECK(menuReady == before.menuReady);
      FUZZ_CHECK(Unchanged(before, -1));
    } else if (menuReady) {
      FUZZ_CHECK(!frmMenu.changeMO);
    }
    Check();
  }

  void RouteTo(int16_t index) {
    const Label& label = lblLink(index);
    float x = label.Left() + label.Width() / 2, y = label.Top() + label.Height() / 2;
    int target = LabelAt(x, y);
    if (target < 0)
      OverBackground();
    else
      Over(static_cast<int16_t>(target));
  }

 private:
  using Lines = std::vector<std::string>;
  const Lines kMouseOverSound = {"mciSendStringA(\"seek mciMO to start\")", "mciSendStringA(\"play mciMO\")"};

  struct Snapshot {
    bool ended, changeMO, menuReady;
    std::array<Colours, kLinkCount> colours;
  };

  Snapshot Take() const {
    Snapshot s{fake_.ended, frmMenu.changeMO, menuReady, {}};
    for (int i = 0; i < kLinkCount; ++i)
      s.colours[static_cast<std::size_t>(i)] = {lblLink(i).ForeColor(), lblLink(i).Tag()};
    return s;
  }

  // Every link but `except` has the colours it had.
  static bool Unchanged(const Snapshot& before, int except) {
    for (int i = 0; i < kLinkCount; ++i) {
      if (i == except) continue;
      const Colours& c = before.colours[static_cast<std::size_t>(i)];
      if (lblLink(i).ForeColor() != c.fore || lblLink(i).Tag() != c.tag) return false;
    }
    return true;
  }

  Lines Since(std::size_t mark) const {
    return Lines(fake_.transcript.begin() + static_cast<std::ptrdiff_t>(mark), fake_.transcript.end());
  }

  static bool IsPageLoad(const Lines& lines) {
    return !lines.empty() && lines[0] == "OpenTextFile(\"D:\\menu.inf\")";
  }

  static std::string Shell(const Text& file, const Text& parameters = Text()) {
    return "ShellExecuteA(owner=frmMenu, \"open\", " + Quoted(file) + ", " + Quoted(parameters) +
           ", dir=null, show=1)";
  }

  // What a click on a link with this stored action makes happen, decoded independently of the menu.
  void CheckClick(const Text& stored, const Lines& lines) {
    const std::size_t bar = stored.find(L'|');
    if (stored.size() != 1 && bar == Text::npos) {
      FUZZ_CHECK(lines.empty());  // cannot be split: the click is dropped
      return;
    }
    const Text type = stored.size() == 1 ? stored : stored.substr(0, bar);
    Text argument = stored.size() == 1 ? Text() : stored.substr(bar + 1);
    if (!argument.empty()) argument.pop_back();
    double value = -1;
    if (!Converts([&] { value = ToDouble(type); })) {
      FUZZ_CHECK(lines.empty());
      return;
    }
    if (value == 0) {
      FUZZ_CHECK(lines.size() == 2 || lines.size() == 3);
      FUZZ_CHECK(lines.back().rfind("ShellExecuteA(owner=frmMenu, \"open\", \"D:\\", 0) == 0);
    } else if (value == 1) {
      FUZZ_CHECK(lines == Lines{Shell(argument)});
    } else if (value == 2) {
      FUZZ_CHECK(lines == Lines{Shell(L"mailto:" + argument)});
    } else if (value == 3) {
      FUZZ_CHECK(lines == Lines{Shell(L"D:\\" + argument)});
    } else if (value == 4) {
      FUZZ_CHECK(lines == Lines{Shell(L"D:\\")});
    } else if (value == 5) {
      FUZZ_CHECK(IsPageLoad(lines) == Converts([&] { ToInt16(argument); }));
      FUZZ_CHECK(IsPageLoad(lines) ? lines.size() == 1 : lines.empty());
    } else if (value == 6) {
      FUZZ_CHECK(lines == Lines({"mciSendStringA(\"close mciExtra\")", "mciSendStringA(\"close mciBG\")",
                                 "mciSendStringA(\"close mciMO\")", "EndProgram"}));
      FUZZ_CHECK(fake_.ended);
    } else if (value == 8) {
      FUZZ_CHECK(lines.size() == 4 || lines.size() == 5);
      FUZZ_CHECK(lines[0] == "mciSendStringA(\"close mciExtra\")");
      FUZZ_CHECK(lines[1] == "mciSendStringA(" +
                                 Quoted(L"open \"D:\\" + argument + L"\" type waveaudio alias mciExtra") +
                                 ")");
      const bool found = lines[2] == "FileExists(" + Quoted(L"D:\\" + argument) + ") = true";
      FUZZ_CHECK(lines.size() == (found ? 5u : 4u));
    } else {
      FUZZ_CHECK(lines.empty());
    }
  }

  FakePlatform& fake_;
  Colours highlighted_{0, Text()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FakePlatform& fake = Disc();
  fake.AddFile(L"D:\\menu.inf", std::string(reinterpret_cast<const char*>(data), size));
  fake.transcript.clear();
  fake.Start();
  FUZZ_CHECK(!fake.ended);
  FUZZ_CHECK(fake.window(Win::Menu).visible);

  User user(fake);
  user.Check();
  int events = 0;
  for (int round = 0; round < 4 && !fake.ended; ++round) {
    for (int16_t i = 0; i < kLinkCount && !fake.ended && events < 400; ++i) {
      if (!lblLink(i).Visible()) continue;
      user.Over(i);
      user.Click(i);
      user.OverBackground();
      user.RouteTo(i);
      user.Click(i);
      events += 5;
    }
    // A link hidden by the page: clicks cannot reach it, but its stored action must still decode.
    if (!fake.ended) user.Click(static_cast<int16_t>((round * 13) % kLinkCount));
  }
  const bool wasRunning = !fake.ended;
  fake.CloseMenu();
  CheckNothingAfterTheEnd(fake.transcript, fake.ended);
  FUZZ_CHECK(fake.ended);
  if (wasRunning) FUZZ_CHECK(fake.transcript.size() >= 3 && fake.transcript.back() == "EndProgram");
  return 0;
}
