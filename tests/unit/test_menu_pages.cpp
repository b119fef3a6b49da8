#include <gtest/gtest.h>

#include <optional>

#include "disc.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace {

// Fields 3 to 9 of a link line, for lines whose look does not matter.
const std::string kLook = "|Link|Verdana|0012|16777215|65535|240|300|";

class MenuPageTest : public DiscTest {
 protected:
  void SetUp() override {
    Kavo({"001", "", "", "menu.bmp"});
    Menu({});
    Start();
  }
  // A new process whose menu starts empty.
  void Restart() {
    Menu({});
    Start();
  }
  // Writes menu.inf with CR LF line ends and loads a page; returns the error that ended the load, if any.
  std::optional<ErrorKind> Load(std::initializer_list<std::string> lines, int16_t page = 0) {
    return LoadRaw(CrLf(lines), page);
  }
  std::optional<ErrorKind> LoadRaw(const std::string& bytes, int16_t page = 0) {
    fake.AddFile(L"D:\\menu.inf", bytes);
    try {
      LoadMenuPage(page);
    } catch (const AppError& e) {
      return e.kind();
    }
    return std::nullopt;
  }
  std::vector<int> Shown() {
    std::vector<int> shown;
    for (int i = 0; i < kLinkCount; ++i)
      if (lblLink(i).Visible()) shown.push_back(i);
    return shown;
  }
};

struct StoredCase {
  std::string line;
  Text stored;
};

TEST_F(MenuPageTest, StoresEachActionTypeAsWritten) {
  const StoredCase cases[] = {
      {"0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|", L"0|setup.exe -s|"},
      {"0|1|Read me|Verdana|0012|16777215|65535|240|400|1|C:\\readme.txt|", L"1|C:\\readme.txt|"},
      {"0|2|Mail|Verdana|0012|16777215|65535|240|500|2|me@example.org|", L"2|me@example.org|"},
      {"0|3|User guide|Verdana|0012|16777215|65535|240|600|3|docs\\guide.pdf|", L"3|docs\\guide.pdf|"},
      {"0|4|Browse the disc|Verdana|0012|16777215|65535|240|700|4|", L"4"},
      {"0|5|More|Verdana|0110|16777215|65535|240|800|5|1|", L"5|1|"},
      {"0|6|Exit|Verdana|1012|16777215|65535|240|900|6|", L"6"},
      {"0|7|Welcome|Verdana|1118|65535|65535|240|100|7|", L"7"},
      {"0|8|Greeting|Verdana|0012|16777215|65535|240|990|8|sounds\\hello.wav|", L"8|sounds\\hello.wav|"},
      {"0|9" + kLook + "4", L"4"},             // a type alone may end the line without its bar
      {"0|10" + kLook + "04|", L"04"},         // kept as written, with no bar
      {"0|11" + kLook + "1|a|b|", L"1|a|b|"},  // bars inside an argument stay
      {"0|12" + kLook + "05|x|", L"05|x|"},
      {"0|13" + kLook + "0|", L"0|"},
      {"0|14" + kLook + "8", L"8|"},
      {"0|15" + kLook + "5.0|2|", L"5.0|2|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_EQ(Load({c.line}), std::nullopt);
    int16_t index = 0;
    for (int i = 0; i < kLinkCount; ++i)
      if (lblLink(i).Visible()) index = static_cast<int16_t>(i);
    EXPECT_EQ(linkActions[index], c.stored);
  }
}

TEST_F(MenuPageTest, SetsUpTheLabelOfEachLine) {
  ASSERT_EQ(Load({"0|3|Install|Arial|1012|16777215|&H80000012|240|300.5|0|setup.exe -s|"}), std::nullopt);
  const Label& label = lblLink(3);
  EXPECT_TRUE(label.Visible());
  EXPECT_EQ(label.Caption(), L"Install");
  EXPECT_EQ(label.FontName(), L"Arial");
  EXPECT_TRUE(label.FontBold());
  EXPECT_FALSE(label.FontItalic());
  EXPECT_EQ(label.FontSize(), 12.0f);
  EXPECT_EQ(label.ForeColor(), 16777215);
  EXPECT_EQ(label.Tag(), L"&H80000012");
  EXPECT_EQ(label.Left(), 240.0f);
  EXPECT_EQ(label.Top(), 300.5f);
  EXPECT_EQ(label.Width(), 7 * 12 * 10) << "sized to its text";
  EXPECT_TRUE(menuReady);
  EXPECT_EQ(Shown(), std::vector<int>{3});
}

struct StyleCase {
  const char* style;
  bool bold, italic;
  float size, width;  // the fake measures 10 twips per character per point
  std::optional<ErrorKind> error;
};

TEST_F(MenuPageTest, StyleFieldGivesBoldItalicSizeAndWidth) {
  const StyleCase cases[] = {
      {"0012", false, false, 12, 480, std::nullopt},
      {"1012", true, false, 12, 480, std::nullopt},
      // The 200 twips of an italic "1" are replaced when the size is set; the 250 stay.
      {"0110", false, true, 10, 400 + 250, std::nullopt},
      {"0210", false, true, 10, 400 + 250, std::nullopt},
      {"1118", true, true, 18, 720 + 250, std::nullopt},
      {"0012.5", false, false, 12.5f, 500, std::nullopt},
      // A size that fails shows the 200 twips that an italic "1" adds before it.
      {"01", false, true, 12, 480 + 200, ErrorKind::TypeMismatch},
      {"02", false, true, 12, 480, ErrorKind::TypeMismatch},
      {"10", true, false, 12, 480, ErrorKind::TypeMismatch},
      {"1", true, false, 12, 480, ErrorKind::TypeMismatch},
      {"a012", false, false, 12, 480, ErrorKind::TypeMismatch},
      {"00xx", false, false, 12, 480, ErrorKind::TypeMismatch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    Restart();
    EXPECT_EQ(Load({std::string("0|1|Link|Verdana|") + c.style + "|255|65535|240|300|7|"}), c.error);
    const Label& label = lblLink(1);
    EXPECT_EQ(label.FontBold(), c.bold);
    EXPECT_EQ(label.FontItalic(), c.italic);
    EXPECT_EQ(label.FontSize(), c.size);
    EXPECT_EQ(label.Width(), c.width);
    EXPECT_EQ(label.Visible(), !c.error);
    EXPECT_EQ(menuReady, !c.error);
  }
}

struct PageCase {
  const char* pageField;
  int16_t page;
  bool shown;
};

TEST_F(MenuPageTest, PageFieldIsComparedAsANumber) {
  const PageCase cases[] = {
      {"0", 0, true},  {"00", 0, true}, {"0.0", 0, true}, {"0.5", 0, false}, {"0.5", 1, false},
      {" 1", 1, true}, {"1", 0, false}, {"-1", -1, true}, {"2e0", 2, true},  {"&H2", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pageField);
    EXPECT_EQ(Load({std::string(c.pageField) + "|4" + kLook + "7|"}, c.page), std::nullopt);
    EXPECT_EQ(lblLink(4).Visible(), c.shown);
  }
}

TEST_F(MenuPageTest, PagesMixedInAnyOrder) {
  ASSERT_EQ(Load({"1|0" + kLook + "7|", "0|1" + kLook + "7|", "2|2" + kLook + "7|", "0|3" + kLook + "7|",
                  "1|4" + kLook + "7|"}),
            std::nullopt);
  EXPECT_EQ(Shown(), std::vector<int>({1, 3}));
  ASSERT_EQ(Load({"1|0" + kLook + "7|", "0|1" + kLook + "7|", "2|2" + kLook + "7|", "0|3" + kLook + "7|",
                  "1|4" + kLook + "7|"},
                 1),
            std::nullopt);
  EXPECT_EQ(Shown(), std::vector<int>({0, 4}));
}

TEST_F(MenuPageTest, LaterPageHidesButKeepsEarlierActions) {
  ASSERT_EQ(Load({"0|0" + kLook + "1|http://a/|", "0|1" + kLook + "5|1|", "1|0" + kLook + "3|b.pdf|",
                  "1|2" + kLook + "9|"}),
            std::nullopt);
  ASSERT_EQ(Load({"0|0" + kLook + "1|http://a/|", "0|1" + kLook + "5|1|", "1|0" + kLook + "3|b.pdf|",
                  "1|2" + kLook + "9|"},
                 1),
            std::nullopt);
  EXPECT_EQ(Shown(), std::vector<int>({0, 2}));
  EXPECT_EQ(linkActions[0], L"3|b.pdf|");
  EXPECT_EQ(linkActions[1], L"5|1|") << "a hidden link keeps its action";
  EXPECT_EQ(linkActions[2], L"") << "type 9 stores nothing";
  EXPECT_EQ(lblLink(1).Caption(), L"Link") << "a hidden link keeps its attributes";
}

TEST_F(MenuPageTest, LaterLineForTheSameLinkWins) {
  ASSERT_EQ(
      Load({"0|5|First|Verdana|0110|255|65535|240|300|1|a|", "0|5|Second|Verdana|0010|255|65535|0|0|9|"}),
      std::nullopt);
  const Label& label = lblLink(5);
  EXPECT_EQ(label.Caption(), L"Second");
  EXPECT_FALSE(label.FontItalic());
  EXPECT_EQ(label.Width(), 6 * 10 * 10) << "the first line's additions went with the new text";
  EXPECT_EQ(linkActions[5], L"1|a|") << "type 9 leaves the earlier action";
}

TEST_F(MenuPageTest, HighlightColourIsStoredUnconverted) {
  ASSERT_EQ(Load({"0|0|A|Verdana|0012|255|yellow|0|0|7|", "0|1|B|Verdana|0012|255||0|0|7|"}), std::nullopt);
  EXPECT_EQ(lblLink(0).Tag(), L"yellow");
  EXPECT_EQ(lblLink(1).Tag(), L"");
  EXPECT_TRUE(menuReady);
}

struct FailureCase {
  std::string badLine;
  ErrorKind error;
  bool badLabelShown;
};

TEST_F(MenuPageTest, FirstMalformedLineEndsTheLoad) {
  const FailureCase cases[] = {
      {"0|50" + kLook + "7|", ErrorKind::NoSuchControl, false},
      {"0|-1" + kLook + "7|", ErrorKind::NoSuchControl, false},
      {"0|x" + kLook + "7|", ErrorKind::NoSuchControl, false},
      {"0|49.5" + kLook + "7|", ErrorKind::NoSuchControl, false},
      {"0|3", ErrorKind::InvalidArgument, false},
      {"0|3|Link|Verdana|0012|255|65535|240|300|", ErrorKind::InvalidArgument, false},
      {"0|3|Link|Verdana|0012|255|65535|240|300|xx", ErrorKind::InvalidArgument, false},
      {"0|3|Link|Verdana|0012|red|65535|240|300|7|", ErrorKind::TypeMismatch, false},
      {"0|3|Link|Verdana|0012|4294967296|65535|240|300|7|", ErrorKind::Overflow, false},
      {"0|3|Link|Verdana|0012|255|65535|left|300|7|", ErrorKind::TypeMismatch, false},
      {"0|3|Link|Verdana|0012|255|65535|240||7|", ErrorKind::TypeMismatch, false},
      {"0|3" + kLook + "seven|", ErrorKind::TypeMismatch, false},
      {"zero|3" + kLook + "7|", ErrorKind::TypeMismatch, false},
      {"01", ErrorKind::InvalidArgument, false},
      {"0", ErrorKind::InvalidArgument, false},  // a one-character line of this page has no link index
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.badLine);
    Restart();
    frmMenu.changeMO = true;
    EXPECT_EQ(Load({"0|1" + kLook + "1|a|", c.badLine, "0|2" + kLook + "1|b|"}), c.error);
    EXPECT_EQ(Shown(), std::vector<int>{1}) << "links before the bad line stay, none after it";
    EXPECT_EQ(linkActions[1], L"1|a|");
    EXPECT_EQ(linkActions[2], L"");
    EXPECT_FALSE(menuReady);
    EXPECT_TRUE(frmMenu.changeMO) << "left as it was";
    EXPECT_FALSE(FileIsOpen());
  }
}

TEST_F(MenuPageTest, OneCharacterLinesOfOtherPagesAreSkipped) {
  EXPECT_EQ(Load({"1", "0|1" + kLook + "7|"}), std::nullopt);
  EXPECT_EQ(Shown(), std::vector<int>{1});
}

TEST_F(MenuPageTest, FailingLineKeepsWhatWasSetBeforeTheFailure) {
  EXPECT_EQ(Load({"0|7|Partial|Georgia|1x12|255|65535|240|300|7|"}), ErrorKind::TypeMismatch);
  EXPECT_EQ(lblLink(7).Caption(), L"Partial");
  EXPECT_EQ(lblLink(7).FontName(), L"Georgia");
  EXPECT_TRUE(lblLink(7).FontBold());
  EXPECT_FALSE(lblLink(7).Visible());
}

TEST_F(MenuPageTest, EmptyFileHidesEverythingAndCompletes) {
  ASSERT_EQ(Load({"0|1" + kLook + "7|"}), std::nullopt);
  frmMenu.changeMO = true;
  EXPECT_EQ(Load({}), std::nullopt);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(menuReady);
  EXPECT_FALSE(frmMenu.changeMO);
}

TEST_F(MenuPageTest, MissingFileHidesEverything) {
  ASSERT_EQ(Load({"0|1" + kLook + "7|"}), std::nullopt);
  FakePlatform noMenu;
  noMenu.AddFile(L"D:\\kavo.inf", CrLf({"001"}));
  noMenu.Start();
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(menuReady);
  EXPECT_TRUE(noMenu.window(Win::Menu).visible);
}

TEST_F(MenuPageTest, LineEndsAndBlankLines) {
  const std::string a = "0|1" + kLook + "1|a|", b = "0|2" + kLook + "1|b|";
  for (const std::string& bytes : {a + "\r\n" + b + "\r\n\r\n", a + "\n" + b + "\n", a + "\r" + b,
                                   a + "\r\n\r\n" + b, "\r\n" + a + "\r\n" + b + "\r\n\r\n\r\n"}) {
    frmMenu.changeMO = true;
    EXPECT_EQ(LoadRaw(bytes), std::nullopt);
    EXPECT_EQ(Shown(), std::vector<int>({1, 2}));
    EXPECT_EQ(linkActions[2], L"1|b|");
    EXPECT_TRUE(menuReady);
    EXPECT_FALSE(frmMenu.changeMO);
  }
}

TEST_F(MenuPageTest, DoubleByteCaptionWithABarInsideOneCharacter) {
  fake.doubleByteCodePage = true;
  ASSERT_EQ(LoadRaw(std::string("0|1|A\x83|B|Verdana|0012|255|65535|240|300|7|\r\n")), std::nullopt);
  const Text& caption = lblLink(1).Caption();
  ASSERT_EQ(caption.size(), 3u);
  EXPECT_EQ(caption.back(), L'B');
}

// Where a load stops, as the author tools report it: the line (blank ones counted) and the field whose
// value failed. Loading never depends on it.
TEST_F(MenuPageTest, SaysWhereALoadStops) {
  const std::string good = "0|1|Go|Verdana|0012|255|65535|240|300|7|";
  const struct {
    std::string bad;
    int field;
    ErrorKind kind;
  } cases[] = {
      {"x|1|Go|Verdana|0012|255|65535|240|300|7|", 1, ErrorKind::TypeMismatch},
      {"no bar here", 1, ErrorKind::InvalidArgument},
      {"0|50|Go|Verdana|0012|255|65535|240|300|7|", 2, ErrorKind::NoSuchControl},
      {"0|1", 3, ErrorKind::InvalidArgument},  // a last single character is a whole field
      {"0|1|Go|", 4, ErrorKind::InvalidArgument},
      {"0|1|Go|Verdana|1|255|65535|240|300|7|", 5, ErrorKind::TypeMismatch},
      {"0|1|Go|Verdana|0012|red|65535|240|300|7|", 6, ErrorKind::TypeMismatch},
      {"0|1|Go|Verdana|0012|255|65535|1e39|300|7|", 8, ErrorKind::Overflow},
      {"0|1|Go|Verdana|0012|255|65535|240|top|7|", 9, ErrorKind::TypeMismatch},
      {"0|1|Go|Verdana|0012|255|65535|240|300|seven|", 10, ErrorKind::TypeMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadRaw(good + "\r\n\r\n1|2|other page|\r\n" + c.bad + "\r\n" + good + "\r\n"), c.kind)
        << c.bad;
    EXPECT_EQ(LastLoadPosition().line, 4) << c.bad;
    EXPECT_EQ(LastLoadPosition().field, c.field) << c.bad;
  }
}

// Lines of a Unicode file split into the same fields, whatever the characters: the caption, the action
// and its launch command stay whole.
TEST_F(MenuPageTest, UnicodeLinesSplitIntoTheSameFields) {
  const std::string line =
      "0|1|\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0|Verdana|0012|255|65535|240|300|0|"
      "\xD0\xA3\xD1\x81.exe -x \xCE\xA9|";
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : FromUtf8(line + "\r\n")) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  for (const std::string& bytes : {line + "\r\n", "\xEF\xBB\xBF" + line, utf16}) {
    ASSERT_EQ(LoadRaw(bytes), std::nullopt);
    EXPECT_EQ(lblLink(1).Caption(), L"\u0423\u0441\u0442\u0430");
    EXPECT_EQ(linkActions[1], L"0|\u0423\u0441.exe -x \u03A9|");
    EXPECT_EQ(Shown(), std::vector<int>{1});
  }
}

TEST_F(MenuPageTest, LongLinesLoad) {
  std::string argument(40000, 'x');
  ASSERT_EQ(Load({"0|1" + kLook + "1|" + argument + "|"}), std::nullopt);
  EXPECT_EQ(linkActions[1].size(), argument.size() + 3);
}

}  // namespace
