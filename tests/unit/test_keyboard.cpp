#include <gtest/gtest.h>

#include <sstream>

#include "disc.h"
#include "menu/frmMenu.h"
#include "menu/keyboard.h"
#include "menu/modMouseGlobal.h"
#include "platform/controls.h"

namespace {

using events::MenuKey;

// Links laid out out of index order: reading order is 3, 1, 0, 4, 2 (4 and 0 share a row, 4 is further
// right; 2 sits at the same place as 5, which is on page 1 only).
class KeyboardTest : public DiscTest {
 protected:
  void SetUp() override {
    fake.AddPicture(L"D:\\menu.bmp", 400, 300);
    fake.AddFile(L"D:\\setup.exe", "MZ");
    Kavo({"001", "", "", "menu.bmp", "", "sounds\\mo.wav"});
    Menu({
        "0|0|&Install|Verdana|1012|16777215|65535|240|900|0|setup.exe -s|",
        "0|1|Read &me|Verdana|0012|255|65280|2400|600|1|C:\\readme.txt|",
        "0|2|&More|Verdana|0012|16777215|16777215|240|1500|5|1|",
        "0|3|Tom && Jerry|Verdana|0012|16777215|65535|3000|300|7|",
        "0|4|&Quit|Verdana|0012|16777215|65535|2400|900|6|",
        "1|0|&Back|Verdana|0012|16777215|65535|240|300|5|0|",
        "1|1|&Next|Verdana|0012|16777215|65535|240|600|7|",
    });
    Start();
  }

  // What one step did: its platform calls, then each shown link's colours and the hover state.
  std::string Step() {
    std::ostringstream out;
    for (const auto& line : Then())
      out << line << "\n";
    for (int16_t link : ReadingOrder())
      out << link << ":" << lblLink(link).ForeColor() << "/" << ToUtf8(lblLink(link).Tag()) << " ";
    out << "changeMO=" << frmMenu.changeMO << " lastMO=" << frmMenu.lastMO;
    return out.str();
  }
  int LitLinks() {
    int lit = 0;
    for (int16_t link : ReadingOrder())
      if (lblLink(link).Tag() != L"65535" && lblLink(link).Tag() != L"65280" && link != 2) ++lit;
    return lit;
  }
};

TEST_F(KeyboardTest, ReadingOrderIsRowsThenColumnsThenLinkNumber) {
  EXPECT_EQ(ReadingOrder(), (std::vector<int16_t>{3, 1, 0, 4, 2}));
  lblLink(4).SetLeft(240);  // now at link 0's place: the lower number first
  lblLink(3).SetVisible(false);
  EXPECT_EQ(ReadingOrder(), (std::vector<int16_t>{1, 0, 4, 2}));
}

struct WalkCase {
  std::vector<MenuKey> keys;
  std::vector<int16_t> visited;
};

TEST_F(KeyboardTest, KeysWalkTheReadingOrderAndWrap) {
  const WalkCase cases[] = {
      {{MenuKey::Next, MenuKey::Next, MenuKey::Next, MenuKey::Next, MenuKey::Next, MenuKey::Next},
       {3, 1, 0, 4, 2, 3}},
      {{MenuKey::Previous, MenuKey::Previous, MenuKey::Next}, {2, 4, 2}},
      {{MenuKey::Last, MenuKey::First, MenuKey::Previous}, {2, 3, 2}},
      {{MenuKey::Next, MenuKey::Previous}, {3, 2}},
  };
  for (const auto& c : cases) {
    fake.Start();
    std::vector<int16_t> visited;
    for (MenuKey key : c.keys) {
      fake.Key(key);
      visited.push_back(menuKeyboard.focus);
      EXPECT_EQ(fake.keyboardFocus, menuKeyboard.focus) << "the platform is told where the keyboard is";
    }
    EXPECT_EQ(visited, c.visited);
  }
}

TEST_F(KeyboardTest, KeyboardTourSoundsAndLightsAsThePointerDoes) {
  // Home, Tab x3, Shift+Tab, End, Tab (wraps); with the pointer: background, then onto that link.
  const MenuKey keys[] = {MenuKey::First,    MenuKey::Next, MenuKey::Next, MenuKey::Next,
                          MenuKey::Previous, MenuKey::Last, MenuKey::Next};
  Then();
  std::vector<std::string> byKeys;
  std::vector<int16_t> route;
  for (MenuKey key : keys) {
    fake.Key(key);
    route.push_back(menuKeyboard.focus);
    byKeys.push_back(Step());
    EXPECT_LE(LitLinks(), 1);
  }
  fake.Start();
  Then();
  std::vector<std::string> byPointer;
  for (int16_t link : route) {
    fake.MoveOverBackground();
    fake.MoveOverLabel(link);
    byPointer.push_back(Step());
  }
  EXPECT_EQ(byKeys, byPointer);
  EXPECT_NE(byKeys.front().find("play mciMO"), std::string::npos) << "the mouse-over sound plays";
}

TEST_F(KeyboardTest, PointerAndKeyboardNeverLightTwoLinks) {
  fake.MoveOverLabel(0);
  EXPECT_EQ(HighlightedLink(), 0);
  fake.Key(MenuKey::Next);  // to link 3: link 0 goes dark first
  EXPECT_EQ(HighlightedLink(), 3);
  EXPECT_EQ(lblLink(0).ForeColor(), 16777215);
  fake.MoveOverLabel(1);  // the pointer onto another link leaves the keyboard's lit, as link to link does
  EXPECT_EQ(HighlightedLink(), 3);
  fake.MoveOverBackground();
  EXPECT_EQ(HighlightedLink(), -1);
  Then();
  fake.Key(MenuKey::First);  // the keyboard's own link, dark now, lights again with its sound
  EXPECT_EQ(HighlightedLink(), 3);
  EXPECT_EQ(Then(), Lines({R"(mciSendStringA("seek mciMO to start"))", R"(mciSendStringA("play mciMO"))"}));
  fake.Key(MenuKey::First);  // already there and lit: nothing
  EXPECT_TRUE(Then().empty());
}

struct PerformCase {
  std::vector<MenuKey> keys;
  wchar_t typed;  // 0: none
  bool claimed;
  Lines effects;
};

TEST_F(KeyboardTest, EnterAndAccessKeysPerformTheLinksAction) {
  const Lines install = {R"(FileExists("D:\setup.exe") = true)",
                         R"(ShellExecuteA(owner=frmMenu, "open", "D:\setup.exe", "s", dir=null, show=1))"};
  const PerformCase cases[] = {
      {{MenuKey::Perform}, 0, false, {}},  // nothing chosen yet
      {{MenuKey::Next, MenuKey::Next, MenuKey::Next, MenuKey::Perform}, 0, false, install},
      {{}, L'i', true, install},
      {{}, L'I', true, install},
      {{MenuKey::Previous, MenuKey::Previous, MenuKey::Perform},
       0,
       false,
       {R"(mciSendStringA("close mciExtra"))", R"(mciSendStringA("close mciBG"))",
        R"(mciSendStringA("close mciMO"))", "EndProgram"}},
      {{}, L'j', false, {}},  // "&&" marks no key
      {{}, L'x', false, {}},
  };
  for (const auto& c : cases) {
    fake.Start();
    Then();
    for (MenuKey key : c.keys)
      fake.Key(key);
    if (c.typed) {
      EXPECT_EQ(fake.Type(c.typed), c.claimed) << static_cast<char>(c.typed);
    }
    Lines effects;
    for (const auto& line : Then())
      if (line.find("seek mciMO") == std::string::npos && line.find("play mciMO") == std::string::npos)
        effects.push_back(line);
    EXPECT_EQ(effects, c.effects) << static_cast<char>(c.typed);
  }
}

TEST_F(KeyboardTest, ASharedAccessKeyMovesBetweenItsLinks) {
  // "Read &me" and "&More" both claim M: the letter goes from one to the other, Enter chooses.
  EXPECT_TRUE(fake.Type(L'm'));
  EXPECT_EQ(menuKeyboard.focus, 1);
  EXPECT_EQ(HighlightedLink(), 1);
  EXPECT_TRUE(fake.Type(L'M'));
  EXPECT_EQ(menuKeyboard.focus, 2);
  EXPECT_TRUE(fake.Type(L'm'));
  EXPECT_EQ(menuKeyboard.focus, 1);
  Then();
  fake.Key(MenuKey::Perform);
  EXPECT_EQ(Then(),
            Lines({R"(ShellExecuteA(owner=frmMenu, "open", "C:\readme.txt", "", dir=null, show=1))"}));
}

TEST_F(KeyboardTest, APageLinkStartsTheKeyboardOverOnTheNewPage) {
  fake.Key(MenuKey::Last);
  int loadsBefore = fake.linksChanged;
  fake.Key(MenuKey::Perform);  // "More": page 1
  EXPECT_EQ(fake.linksChanged, loadsBefore + 1);
  EXPECT_EQ(lblLink(0).Caption(), L"&Back");
  EXPECT_EQ(menuKeyboard.focus, -1);
  EXPECT_EQ(KeyboardMark(), -1);
  EXPECT_FALSE(frmMenu.changeMO);
  fake.Key(MenuKey::Next);
  EXPECT_EQ(menuKeyboard.focus, 0);
  EXPECT_EQ(HighlightedLink(), 0);
  EXPECT_TRUE(fake.Type(L'b'));
  EXPECT_EQ(lblLink(0).Caption(), L"&Install");
}

TEST_F(KeyboardTest, TheMarkShowsOnlyOnceAKeyIsUsed) {
  fake.MoveOverLabel(0);
  fake.Click(1);
  fake.MoveOverBackground();
  EXPECT_FALSE(fake.keyboardMarked) << "the mouse alone never shows a mark";
  EXPECT_EQ(KeyboardMark(), -1);
  fake.Key(MenuKey::Next);
  EXPECT_TRUE(fake.keyboardMarked);
  EXPECT_EQ(KeyboardMark(), 3);
  fake.MoveOverLabel(0);  // the pointer does not move the keyboard's link
  EXPECT_EQ(KeyboardMark(), 3);
}

TEST_F(KeyboardTest, ABrokenPageSoundsButNeverLights) {
  Menu({"0|0|&A|Verdana|0012|255|65535|0|0|7|", "0|1|B|Verdana|0012|255|65535|0|300|7|", "0|99|broken"});
  Start();
  ASSERT_FALSE(menuReady);
  for (MenuKey key : {MenuKey::Next, MenuKey::Next, MenuKey::Previous}) {
    fake.Key(key);
    EXPECT_EQ(Then(), Lines({R"(mciSendStringA("seek mciMO to start"))", R"(mciSendStringA("play mciMO"))"}));
    EXPECT_EQ(HighlightedLink(), -1);
    EXPECT_EQ(lblLink(0).ForeColor(), 255);
    EXPECT_EQ(lblLink(1).ForeColor(), 255);
  }
  EXPECT_EQ(KeyboardMark(), 0) << "the mark still shows where the keyboard is";
}

TEST_F(KeyboardTest, APageWithoutLinksIgnoresEveryKey) {
  Menu({"1|0|Elsewhere|Verdana|0012|255|65535|0|0|7|"});
  Start();
  for (MenuKey key : {MenuKey::Next, MenuKey::Previous, MenuKey::First, MenuKey::Last, MenuKey::Perform})
    fake.Key(key);
  EXPECT_FALSE(fake.Type(L'e'));
  EXPECT_TRUE(Then().empty());
  EXPECT_EQ(menuKeyboard.focus, -1);
  EXPECT_EQ(KeyboardMark(), -1);
}

}  // namespace
