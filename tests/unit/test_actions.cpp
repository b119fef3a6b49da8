#include <gtest/gtest.h>

#include <algorithm>

#include "disc.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "startup/frmMain.h"

namespace {

const std::string kLook = "|Link|Verdana|0012|16777215|65535|240|300|";

class MenuEventsTest : public DiscTest {
 protected:
  void SetUp() override {
    fake.AddPicture(L"D:\\menu.bmp", 400, 300);
    fake.AddFile(L"D:\\setup.exe", "MZ");
    fake.AddFile(L"D:\\sounds\\hello.wav", "RIFF");
    Kavo({"001", "", "", "menu.bmp", "sounds\\bg.wav", "sounds\\mo.wav"});
    Menu({
        "0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|",
        "0|1|Read me|Verdana|0012|16777215|65535|240|600|1|C:\\readme.txt|",
        "0|2|Mail|Verdana|0012|16777215|65535|240|900|2|me@example.org|",
        "0|3|User guide|Verdana|0012|16777215|65535|240|1200|3|docs\\guide.pdf|",
        "0|4|Browse|Verdana|0012|16777215|65535|240|1500|4|",
        "0|5|More|Verdana|0110|16777215|65535|240|1800|5|1|",
        "0|6|Exit|Verdana|1012|16777215|65535|240|2100|6|",
        "0|7|Welcome|Verdana|1118|65535|65535|240|2400|7|",
        "0|8|Greeting|Verdana|0012|16777215|65535|240|2700|8|sounds\\hello.wav|",
        "0|9|Missing|Verdana|0012|16777215|65535|2400|300|8|sounds\\gone.wav|",
        "0|10|Broken|Verdana|0012|16777215|65535|2400|600|0|gone\\setup.exe -q|",
        "1|0|Back|Verdana|0012|255|65280|240|300|5|0|",
        "1|1|Bad page|Verdana|0012|255|65535|240|600|5|x|",
        "1|2|Huge page|Verdana|0012|255|65535|240|900|5|40000|",
    });
    Start();
  }
};

struct ClickCase {
  int16_t link;
  Lines effects;
};

TEST_F(MenuEventsTest, EachActionTypeMakesItsRequest) {
  const ClickCase cases[] = {
      {0,
       {R"(FileExists("D:\setup.exe") = true)",
        R"(ShellExecuteA(owner=frmMenu, "open", "D:\setup.exe", "s", dir=null, show=1))"}},
      {1, {R"(ShellExecuteA(owner=frmMenu, "open", "C:\readme.txt", "", dir=null, show=1))"}},
      {2, {R"(ShellExecuteA(owner=frmMenu, "open", "mailto:me@example.org", "", dir=null, show=1))"}},
      {3, {R"(ShellExecuteA(owner=frmMenu, "open", "D:\docs\guide.pdf", "", dir=null, show=1))"}},
      {4, {R"(ShellExecuteA(owner=frmMenu, "open", "D:\", "", dir=null, show=1))"}},
      {7, {}},
      {8,
       {R"(mciSendStringA("close mciExtra"))",
        R"(mciSendStringA("open "D:\sounds\hello.wav" type waveaudio alias mciExtra"))",
        R"(FileExists("D:\sounds\hello.wav") = true)", R"(mciSendStringA("seek mciExtra to start"))",
        R"(mciSendStringA("play mciExtra"))"}},
      {9,
       {R"(mciSendStringA("close mciExtra"))",
        R"(mciSendStringA("open "D:\sounds\gone.wav" type waveaudio alias mciExtra"))",
        R"(FileExists("D:\sounds\gone.wav") = false)",
        "MessageBox(critical, \"Sound File Not Found\", \"You told Velmaro that you wanted to play the file "
        "cdDrive:\\sounds\\gone.wav yet you did not burn this file to CD!  It is very hard to launch a file "
        "from "
        "your CD if that file is not where you told Velmaro that it would be.  Please burn your file to the "
        "appropriate location.\")"}},
      {10,
       {R"(FileExists("D:\gone\setup.exe") = false)",
        "MessageBox(critical, \"File Not Found\", \"You told Velmaro that you wanted to launch the file "
        "cdDrive:\\gone\\setup.exe yet you did not burn this file to CD!  It is very hard to launch a file "
        "from "
        "your CD if that file is not where you told Velmaro that it would be.  Please burn your file to the "
        "appropriate location.\")",
        R"(ShellExecuteA(owner=frmMenu, "open", "D:\gone\setup.exe", "q", dir=null, show=1))"}},
  };
  for (const auto& c : cases) {
    fake.Click(c.link);
    EXPECT_EQ(Then(), c.effects) << "link " << c.link;
  }
  EXPECT_FALSE(fake.ended);
}

TEST_F(MenuEventsTest, QuitLinkClosesThreeChannelsAndEnds) {
  fake.Click(6);
  EXPECT_EQ(Then(), Lines({R"(mciSendStringA("close mciExtra"))", R"(mciSendStringA("close mciBG"))",
                           R"(mciSendStringA("close mciMO"))", "EndProgram"}));
  fake.Click(0);
  fake.MoveOverLabel(1);
  EXPECT_TRUE(Then().empty()) << "nothing runs after the end";
}

TEST_F(MenuEventsTest, ClosingTheWindowClosesTwoChannelsAndEnds) {
  fake.CloseMenu();
  EXPECT_EQ(Then(),
            Lines({R"(mciSendStringA("close mciBG"))", R"(mciSendStringA("close mciMO"))", "EndProgram"}));
}

TEST_F(MenuEventsTest, PageLinkShowsAnotherPage) {
  fake.MoveOverLabel(5);
  EXPECT_TRUE(frmMenu.changeMO);
  Then();
  fake.Click(5);
  EXPECT_EQ(Then(), Lines({R"(OpenTextFile("D:\menu.inf"))"}));
  EXPECT_FALSE(frmMenu.changeMO) << "a new page has no highlight";
  EXPECT_TRUE(lblLink(0).Visible());
  EXPECT_EQ(lblLink(0).Caption(), L"Back");
  EXPECT_FALSE(lblLink(5).Visible());
  // The next move over a link highlights at once, without crossing the background.
  fake.MoveOverLabel(0);
  EXPECT_EQ(Then(), Lines({R"(mciSendStringA("seek mciMO to start"))", R"(mciSendStringA("play mciMO"))"}));
  EXPECT_EQ(lblLink(0).ForeColor(), 0xFF00);
  fake.MoveOverBackground();
  fake.Click(0);
  EXPECT_EQ(lblLink(0).Caption(), L"Install");
}

TEST_F(MenuEventsTest, ErrorsInAClickAreIgnored) {
  fake.Click(5);
  Then();
  fake.Click(1);  // page "x"
  EXPECT_TRUE(Then().empty());
  fake.Click(2);  // page 40000 is outside 16 bits
  EXPECT_TRUE(Then().empty());
  EXPECT_TRUE(lblLink(1).Visible()) << "the page stays";
  fake.Click(30);  // never stored: cannot be split
  EXPECT_TRUE(Then().empty());
  linkActions[31] = L"04";  // a type of two characters stored without a bar
  fake.Click(31);
  EXPECT_TRUE(Then().empty());
  EXPECT_THROW(frmMenu.ExecuteAction(50), AppError);
  EXPECT_THROW(frmMenu.ExecuteAction(-1), AppError);
  EXPECT_FALSE(fake.ended);
}

TEST_F(MenuEventsTest, StoredActionsDecodeAsWritten) {
  struct {
    Text stored;
    Lines effects;
  } cases[] = {
      {L"3||", {R"(ShellExecuteA(owner=frmMenu, "open", "D:\", "", dir=null, show=1))"}},
      {L"1|abc", {R"(ShellExecuteA(owner=frmMenu, "open", "ab", "", dir=null, show=1))"}},
      {L"2||", {R"(ShellExecuteA(owner=frmMenu, "open", "mailto:", "", dir=null, show=1))"}},
      {L"1.0|x|", {R"(ShellExecuteA(owner=frmMenu, "open", "x", "", dir=null, show=1))"}},
      {L"01|a|b|", {R"(ShellExecuteA(owner=frmMenu, "open", "a|b", "", dir=null, show=1))"}},
      {L"4", {R"(ShellExecuteA(owner=frmMenu, "open", "D:\", "", dir=null, show=1))"}},
      {L"7", {}},
      {L"9|x|", {}},
      {L"-1|x|", {}},
      {L"0|my-tool.exe -x|",
       {R"(FileExists("D:\my-tool.exe") = false)", "",
        R"(ShellExecuteA(owner=frmMenu, "open", "D:\my-tool.exe", "x", dir=null, show=1))"}},
  };
  for (auto& c : cases) {
    linkActions[20] = c.stored;
    fake.Click(20);
    Lines effects = Then();
    if (effects.size() == 3 && c.effects.size() == 3)
      effects[1] = "";  // the message text is tested elsewhere
    EXPECT_EQ(effects, c.effects) << ToUtf8(c.stored);
    EXPECT_EQ(linkActions[20], c.stored) << "the stored entry is never changed";
  }
}

TEST_F(MenuEventsTest, SecondSoundLinkReplacesTheFirst) {
  fake.Click(8);
  fake.Click(9);
  Lines effects = Then();
  EXPECT_EQ(effects[5], R"(mciSendStringA("close mciExtra"))");
  fake.Click(8);
  EXPECT_EQ(Then().back(), R"(mciSendStringA("play mciExtra"))");
}

// --- Hover highlighting ---

TEST_F(MenuEventsTest, HighlightFollowsThePointer) {
  const Lines kSound = {R"(mciSendStringA("seek mciMO to start"))", R"(mciSendStringA("play mciMO"))"};
  fake.MoveOverLabel(3);
  EXPECT_EQ(Then(), kSound);
  EXPECT_EQ(lblLink(3).ForeColor(), 65535);
  EXPECT_EQ(lblLink(3).Tag(), L"16777215");
  EXPECT_EQ(frmMenu.lastMO, 3);

  fake.MoveOverLabel(3);
  fake.MoveOverLabel(4);
  EXPECT_TRUE(Then().empty()) << "no sound until the highlight ends";
  EXPECT_EQ(lblLink(4).ForeColor(), 16777215);
  EXPECT_EQ(lblLink(3).ForeColor(), 65535);

  fake.MoveOverBackground();
  EXPECT_TRUE(Then().empty());
  EXPECT_EQ(lblLink(3).ForeColor(), 16777215);
  EXPECT_EQ(lblLink(3).Tag(), L"65535");
  EXPECT_FALSE(frmMenu.changeMO);
  EXPECT_EQ(frmMenu.lastMO, 3) << "kept";

  fake.MoveOverBackground();
  fake.MoveOverLabel(4);
  EXPECT_EQ(Then(), kSound);
  EXPECT_EQ(lblLink(4).ForeColor(), 65535);
}

TEST_F(MenuEventsTest, HoverRepaintsOnlyTheLabel) {
  fake.repaints.clear();
  fake.MoveOverLabel(3);
  ASSERT_EQ(fake.repaints.size(), 1u);
  EXPECT_EQ(fake.repaints[0].label, 3);
  EXPECT_EQ(fake.repaints[0].after.top, 1200);
}

TEST_F(MenuEventsTest, SystemColoursGoThroughTheTagAsNegativeNumbers) {
  Menu({"0|0|A|Verdana|0012|-2147483630|&H8000000F|0|0|7|"});
  Start();
  fake.MoveOverLabel(0);
  EXPECT_EQ(lblLink(0).ForeColor(), static_cast<int32_t>(0x8000000Fu));
  EXPECT_EQ(lblLink(0).Tag(), L"-2147483630");
  fake.MoveOverBackground();
  EXPECT_EQ(lblLink(0).ForeColor(), static_cast<int32_t>(0x80000012u));
  EXPECT_EQ(lblLink(0).Tag(), L"-2147483633");
}

TEST_F(MenuEventsTest, UnconvertibleHighlightPlaysTheSoundOnly) {
  Menu({"0|0|A|Verdana|0012|255|yellow|0|0|7|"});
  Start();
  Then();
  for (int i = 0; i < 2; ++i) {
    fake.MoveOverLabel(0);
    EXPECT_EQ(Then(), Lines({R"(mciSendStringA("seek mciMO to start"))", R"(mciSendStringA("play mciMO"))"}));
    EXPECT_EQ(lblLink(0).ForeColor(), 255);
    EXPECT_EQ(lblLink(0).Tag(), L"yellow");
    EXPECT_FALSE(frmMenu.changeMO);
  }
}

TEST_F(MenuEventsTest, IncompletePageSoundsButNeverHighlights) {
  Menu({"0|0|A|Verdana|0012|255|65535|0|0|7|", "0|99|broken"});
  Start();
  Then();
  EXPECT_FALSE(menuReady);
  fake.MoveOverLabel(0);
  fake.MoveOverLabel(0);
  EXPECT_EQ(Then().size(), 4u) << "the sound restarts at every move";
  EXPECT_EQ(lblLink(0).ForeColor(), 255);
  fake.MoveOverBackground();
  EXPECT_TRUE(Then().empty());
}

TEST_F(MenuEventsTest, HighlightSurvivesAClickOnIt) {
  fake.MoveOverLabel(1);
  fake.Click(1);
  EXPECT_EQ(lblLink(1).ForeColor(), 65535);
  EXPECT_TRUE(frmMenu.changeMO);
}

TEST_F(MenuEventsTest, NoSoundsNamedMeansSilence) {
  Kavo({"001", "", "", "menu.bmp"});
  Start();
  EXPECT_FALSE(frmMain.bgSound);
  fake.MoveOverLabel(1);
  EXPECT_TRUE(Then().empty());
  EXPECT_EQ(lblLink(1).ForeColor(), 65535) << "highlights silently";
}

TEST_F(MenuEventsTest, BackgroundSoundPlaysOnceWhenTheMenuFirstShows) {
  Kavo({"101", "", "", "menu.bmp", "sounds\\bg.wav"});
  Lines start = Start();
  EXPECT_EQ(std::count(start.begin(), start.end(), R"(mciSendStringA("play mciBG"))"), 0);
  fake.FireTimer();
  Lines timer = Then();
  EXPECT_EQ(std::count(timer.begin(), timer.end(), R"(mciSendStringA("play mciBG"))"), 1);
}

TEST_F(MenuEventsTest, PointerRoutingByPosition) {
  // Link 0 "Install" at 240,300, bold 12 pt: 840 x 270 in the fake's metric.
  fake.MoveTo(250, 310);
  EXPECT_TRUE(frmMenu.changeMO);
  EXPECT_EQ(frmMenu.lastMO, 0);
  fake.MoveTo(240 + 839, 300 + 269);
  EXPECT_TRUE(frmMenu.changeMO);
  fake.MoveTo(240 + 840, 300);
  EXPECT_FALSE(frmMenu.changeMO);
  // A hidden label's place is background.
  fake.MoveTo(1900, 900);  // label 0's place as created, nothing shown there
  EXPECT_FALSE(frmMenu.changeMO);
}

}  // namespace
