// Failures that come from the machine rather than from what the author wrote: a disc that cannot be read
// part-way through a file, and memory running out. Each must end the step it hits, never the program's
// sequence, and never let a line cut short reach the shell.
#include <gtest/gtest.h>

#include "disc.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"

namespace {

const std::string kKavo = CrLf({"011", "", "setup.exe -s", "menu.bmp", "", ""});
const std::string kMenu = CrLf({"0|0|Install|Verdana|0012|255|65535|240|300|0|setup.exe -s|",
                                "0|1|Read me|Verdana|0012|255|65535|240|600|1|https://example.org/readme|",
                                "0|2|More|Verdana|0012|255|65535|240|900|5|1|",
                                "1|3|Manual|Verdana|0012|255|65535|240|300|3|docs\\manual.pdf|",
                                "1|4|Back|Verdana|0012|255|65535|240|600|5|0|"});

std::vector<int> VisibleLinks() {
  std::vector<int> shown;
  for (int i = 0; i < kLinkCount; ++i)
    if (lblLink(i).Visible()) shown.push_back(i);
  return shown;
}

bool Sent(const Lines& lines, const std::string& prefix) {
  for (const auto& line : lines)
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

class DamageTest : public DiscTest {
 protected:
  void SetUp() override {
    fake.AddPicture(L"D:\\menu.bmp", 400, 300);
    fake.AddFile(L"D:\\setup.exe", "MZ");
  }
  static FakeFile BadSpotAt(std::size_t offset) {
    FakeFile file;
    file.readFailsAt = offset;
    return file;
  }
};

// A bad spot anywhere in kavo.inf makes it as unreadable as a missing file: no flag is taken from it, so
// nothing shows, nothing launches, and the program ends instead of lingering. Launching the cut-off
// "setup.e" would ask the shell for a wrong file.
TEST_F(DamageTest, ABadSpotInKavoMakesItUnreadable) {
  for (std::size_t at :
       {std::size_t{0}, std::size_t{2}, std::size_t{10}, std::size_t{16}, kKavo.size() - 3}) {
    fake.AddFile(L"D:\\kavo.inf", kKavo, BadSpotAt(at));
    for (std::size_t piece : {0u, 1u, 5u}) {
      fake.readPiece = piece;
      EXPECT_EQ(Start(), Lines({R"(OpenTextFile("D:\kavo.inf"))", "EndProgram"}))
          << "bad spot at " << at << ", pieces of " << piece;
    }
  }
}

// A bad spot in menu.inf: the page shows nothing and stores nothing, exactly as when the file cannot be
// opened, whether it hits the first page or one loaded later by a click.
TEST_F(DamageTest, ABadSpotInMenuShowsNothingOfIt) {
  fake.AddFile(L"D:\\kavo.inf", CrLf({"001", "", "", "menu.bmp", "", ""}));
  std::size_t insideReadMe = kMenu.find("readme");
  fake.AddFile(L"D:\\menu.inf", kMenu, BadSpotAt(insideReadMe));
  Start();
  EXPECT_TRUE(fake.window(Win::Menu).visible);
  EXPECT_EQ(VisibleLinks(), std::vector<int>{});
  EXPECT_EQ(linkActions[0], L"");
  EXPECT_EQ(linkActions[1], L"");
  EXPECT_FALSE(menuReady);

  // Page 0 read whole; then the disc gets scratched where page 1 lies.
  fake.AddFile(L"D:\\menu.inf", kMenu);
  Start();
  EXPECT_EQ(VisibleLinks(), (std::vector<int>{0, 1, 2}));
  fake.AddFile(L"D:\\menu.inf", kMenu, BadSpotAt(kMenu.find("manual")));
  fake.Click(2);
  EXPECT_EQ(VisibleLinks(), std::vector<int>{});
  EXPECT_EQ(linkActions[3], L"");
  EXPECT_EQ(linkActions[1], L"1|https://example.org/readme|");
  EXPECT_FALSE(fake.ended);
}

// Memory running out in any step is a failing step: the start-up goes on to the next one and the program
// still shows its menu or ends; it is never left with no window and no end.
TEST_F(DamageTest, RunningOutOfMemoryFailsOneStepOnly) {
  struct Case {
    const char* operation;
    bool menuShown;
    bool launched;
  };
  const Case cases[] = {
      {"OpenTextFile", false, false},  // kavo.inf itself: as if missing, so the program ends
      {"MeasureText", true, true},     // while page 0 is set up
  };
  for (const auto& c : cases) {
    fake.AddFile(L"D:\\kavo.inf", kKavo);
    fake.AddFile(L"D:\\menu.inf", kMenu);
    fake.outOfMemoryIn = c.operation;
    Lines sent = Start();
    EXPECT_EQ(fake.window(Win::Menu).visible, c.menuShown) << c.operation;
    EXPECT_EQ(Sent(sent, "ShellExecuteA"), c.launched) << c.operation;
    EXPECT_EQ(fake.ended, !c.menuShown) << c.operation;
  }
}

TEST_F(DamageTest, RunningOutOfMemoryInAClickLeavesTheMenuRunning) {
  fake.AddFile(L"D:\\kavo.inf", CrLf({"001", "", "", "menu.bmp", "", ""}));
  fake.AddFile(L"D:\\menu.inf", kMenu);
  Start();
  fake.outOfMemoryIn = "OpenTextFile";
  fake.Click(2);
  EXPECT_FALSE(fake.ended);
  fake.Click(0);
  EXPECT_TRUE(Sent(Then(), "ShellExecuteA(owner=frmMenu, \"open\", \"D:\\setup.exe\""));
}

}  // namespace
