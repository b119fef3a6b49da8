// Moving links: pixels to twips at each DPI, the edit a drag writes (only left and top, one step of undo),
// and snapping to the other links' edges.
#include <gtest/gtest.h>

#include "platform/numbers.h"
#include "tools/design/link_lines.h"
#include "tools/design/link_move.h"
#include "tools/edit/posix/iconv_code_page.h"

namespace {

TEST(LinkMove, WholePixelsBecomeWholeTwipsAtEveryScale) {
  struct Case {
    float left, top;
    int dx, dy;
    unsigned dpi;
    TwipPoint expected;
  };
  const Case cases[] = {
      {240, 300, 20, 10, 96, {540, 450}},    // 15 twips a pixel
      {240, 300, -1, 0, 96, {225, 300}},     //
      {240, 300, 10, -10, 120, {360, 180}},  // 12 a pixel at 125 %
      {240, 300, 3, 0, 144, {270, 300}},     // 10 a pixel at 150 %
      {240, 300, 1, 2, 192, {248, 315}},     // 7.5 a pixel at 200 %: to the nearest twip
      {240.4f, 299.6f, 0, 0, 96, {240, 300}},
      {10, 10, -20, -1, 96, {0, 0}},  // never past the picture's corner
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << " at " << c.dpi);
    EXPECT_EQ(MovedPosition(c.left, c.top, c.dx, c.dy, c.dpi), c.expected);
  }
}

class DragEdit : public ::testing::Test {
 protected:
  IconvCodePage codePage{"CP1252"};
};

TEST_F(DragEdit, ChangesOnlyLeftAndTopAsOneStep) {
  struct Case {
    const char* name;
    std::string before;
    TwipPoint to;
    std::string after;
  };
  const Case cases[] = {
      {"both",
       "0|0|Go|Verdana|1012|16777215|65535|240|300|6|\r\n",
       {540, 450},
       "0|0|Go|Verdana|1012|16777215|65535|540|450|6|\r\n"},
      {"left only: the top's text stays even where it reads otherwise",
       "0|0|Go|V|0010|0|255|240| 300 |6|\n",
       {255, 300},
       "0|0|Go|V|0010|0|255|255| 300 |6|\n"},
      {"trailing fields and other lines kept",
       "1|0|x|\n\r\n0|0|A|V|0010|0|255|15|15|3|a.txt|extra|\r\n\r\n",
       {0, 30},
       "1|0|x|\n\r\n0|0|A|V|0010|0|255|0|30|3|a.txt|extra|\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextDocument menu(c.before, codePage);
    PageLines lines(menu, 0);
    std::size_t line = lines.LineOf(0);
    ASSERT_NE(line, kNoLine);
    WriteLinkPosition(menu, line, c.to);
    EXPECT_EQ(menu.Bytes(), c.after);
    menu.Undo();
    EXPECT_EQ(menu.Bytes(), c.before) << "one undo takes back the whole move";
    EXPECT_FALSE(menu.CanUndo());
  }
}

TEST_F(DragEdit, AMoveToWhereTheLinkIsWritesNothing) {
  TextDocument menu("0|0|Go|V|0010|0|255|240.0|300|6|\r\n", codePage);
  WriteLinkPosition(menu, 0, TwipPoint{240, 300});
  EXPECT_FALSE(menu.CanUndo());
}

TEST(PageLinesTest, TheLineThatSetsUpEachLinkAsTheLoaderReadsIt) {
  IconvCodePage codePage{"CP1252"};
  SetDecimalSeparator(L'.');
  const std::string file =
      "0|0|First|V|0010|0|0|0|0|7|\r\n"       // line 0: link 0 of page 0
      "1|0|Other page|V|0010|0|0|0|0|7|\r\n"  // line 1
      "\r\n"                                  // line 2: blank, skipped
      "0|3|Three|V|0010|0|0|0|0|7|\r\n"       // line 3
      "0.0|0|Again|V|0010|0|0|0|0|7|\r\n"     // line 4: the later line wins, page read as a number
      "0|x|Stops|V|0010|0|0|0|0|7|\r\n"       // line 5: stops the page
      "0|7|After|V|0010|0|0|0|0|7|\r\n";      // line 6: never read
  TextDocument menu(file, codePage);
  PageLines page0(menu, 0);
  EXPECT_EQ(page0.LineOf(0), 4u);
  EXPECT_EQ(page0.LineOf(3), 3u);
  EXPECT_EQ(page0.LineOf(7), kNoLine);
  EXPECT_EQ(page0.LinkOf(3), 3);
  EXPECT_EQ(page0.LinkOf(0), -1);
  EXPECT_EQ(PageLines(menu, 1).LineOf(0), 1u);
  EXPECT_EQ(PageLines(menu, 0, 3).LineOf(0), 0u) << "lines past where the load stopped count for none";
}

TEST(PageLinesTest, ADoubleByteCharacterWhoseTrailByteIsABarStaysOneCharacter) {
  IconvCodePage codePage{"CP932"};
  // Line 0's page field is one character, 0x83 0x7C: no number, so the page stops there.
  const std::string file =
      "\x83\x7c|0|A|V|0010|0|0|0|0|7|\r\n"
      "0|1|B|V|0010|0|0|0|0|7|\r\n";
  TextDocument menu(file, codePage);
  EXPECT_EQ(PageLines(menu, 0).LineOf(1), kNoLine);
  TextDocument other("1|0|\x83\x7c|V|0010|0|0|0|0|7|\r\n0|1|B|V|0010|0|0|0|0|7|\r\n", codePage);
  EXPECT_EQ(PageLines(other, 0).LineOf(1), 1u) << "a bar inside another page's line is no matter";
}

TEST(SnapTest, EdgesAndCentresLineUpWithinReach) {
  const std::vector<PixelRect> others = {{100, 50, 180, 70}, {300, 200, 340, 220}};
  const PixelRect moving{10, 10, 60, 30};
  struct Case {
    const char* name;
    int dx, dy;
    int expectDx, expectDy;
    std::size_t guides;
  };
  const Case cases[] = {
      {"left edge onto another's left", 88, 100, 90, 100, 1},
      {"top edge onto another's top", 200, 37, 200, 40, 1},
      {"both axes", 92, 42, 90, 40, 2},
      {"right edge onto another's right", 117, 150, 120, 150, 1},
      {"out of reach stays", 200, 100, 200, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SnapResult r = Snap(moving, c.dx, c.dy, others, 5);
    EXPECT_EQ(r.dx, c.expectDx);
    EXPECT_EQ(r.dy, c.expectDy);
    EXPECT_EQ(r.guides.size(), c.guides);
  }
  SnapResult r = Snap(moving, 88, 100, others, 5);
  ASSERT_EQ(r.guides.size(), 1u);
  EXPECT_TRUE(r.guides[0].vertical);
  EXPECT_EQ(r.guides[0].at, 100);
  EXPECT_EQ(r.guides[0].from, 50) << "the guide reaches the link it lines up with";
  EXPECT_EQ(r.guides[0].to, 130);
}

}  // namespace
