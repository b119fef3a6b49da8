// The values the link panel shows and writes: colours, the style field and the action types, each as the
// program itself reads the field.
#include <gtest/gtest.h>

#include "tools/design/action_types.h"
#include "tools/design/colour_field.h"
#include "tools/design/style_field.h"

namespace {

struct ColourCase {
  const wchar_t* field;
  bool readable;
  bool system;
  int systemIndex;
  uint32_t bgr;
  const wchar_t* described;
};

TEST(ColourField, ReadsAsTheProgramDraws) {
  const ColourCase cases[] = {
      {L"16777215", true, false, 0, 0xFFFFFF, L"16777215"},
      {L"255", true, false, 0, 0x0000FF, L"255"},
      {L"0", true, false, 0, 0, L"0"},
      // The top byte of a positive value is ignored.
      {L"16777471", true, false, 0, 0x0000FF, L"255"},
      {L"&H7F00", true, false, 0, 0x007F00, L"32512"},
      // A hex number of four digits is a 16-bit one: &HFF00 is -256, a system colour.
      {L"&HFF00", true, true, 0, 0, L"system colour 0: scroll bar"},
      {L" 65535 ", true, false, 0, 0x00FFFF, L"65535"},
      // Negative values are system colours by their low byte.
      {L"-2147483630", true, true, 18, 0, L"system colour 18: button text"},
      {L"-2147483643", true, true, 5, 0, L"system colour 5: window"},
      {L"-1", true, true, 255, 0, L"system colour 255: none, drawn black"},
      {L"&H00FFFF&", false, false, 0, 0, L"not a number: &H00FFFF&"},
      {L"#FFFFFF", false, false, 0, 0, L"not a number: #FFFFFF"},
      {L"", false, false, 0, 0, L"not a number: "},
      {L"99999999999", false, false, 0, 0, L"not a number: 99999999999"},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.field));
    ColourField colour = ReadColourField(c.field);
    EXPECT_EQ(colour.readable, c.readable);
    EXPECT_EQ(colour.system, c.system);
    if (c.system) {
      EXPECT_EQ(colour.systemIndex, c.systemIndex);
    }
    if (c.readable && !c.system) {
      EXPECT_EQ(colour.bgr, c.bgr);
    }
    EXPECT_EQ(ToUtf8(DescribeColourField(c.field)), ToUtf8(c.described));
  }
}

TEST(ColourField, ChosenColourIsWrittenAsDecimalBlueGreenRed) {
  EXPECT_EQ(ColourFieldText(255, 0, 0), L"255");
  EXPECT_EQ(ColourFieldText(0, 0, 255), L"16711680");
  EXPECT_EQ(ColourFieldText(255, 255, 0), L"65535");
  EXPECT_EQ(ColourFieldText(255, 255, 255), L"16777215");
  EXPECT_EQ(ColourFieldText(0x12, 0x34, 0x56), L"5649426");  // 0x563412
  // What is written reads back as the colour chosen.
  EXPECT_EQ(ReadColourField(ColourFieldText(0x12, 0x34, 0x56)).bgr, BgrOf(0x12, 0x34, 0x56));
}

TEST(ColourField, ColourLeftAsShownIsNoEdit) {
  // A system colour shown as the system's button text stays a system colour when the dialog keeps it.
  ColourField system = ReadColourField(L"-2147483630");
  EXPECT_FALSE(ColourChanged(system, 0x123456, 0x123456));
  EXPECT_TRUE(ColourChanged(system, 0x123456, 0x123457));
  ColourField hex = ReadColourField(L"&HFF");
  EXPECT_FALSE(ColourChanged(hex, 0xFF, 0xFF));
  // A field the program cannot read is always rewritten, even with the black it is shown as.
  EXPECT_TRUE(ColourChanged(ReadColourField(L"#000000"), 0, 0));
}

struct StyleCase {
  const wchar_t* field;
  bool readable, bold, italic;
  float points;
};

TEST(StyleField, ReadsAsTheLoader) {
  const StyleCase cases[] = {
      {L"1012", true, true, false, 12},   {L"0110", true, false, true, 10},
      {L"0008", true, false, false, 8},   {L"2012", true, true, false, 12},
      {L"00012", true, false, false, 12}, {L"x012", false, false, false, 0},
      {L"10", false, true, false, 0},  // no size is no number
      {L"00abc", false, false, false, 0},
  };
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.field));
    StyleField style = ReadStyleField(c.field);
    ASSERT_EQ(style.readable, c.readable);
    if (!c.readable) continue;
    EXPECT_EQ(style.bold, c.bold);
    EXPECT_EQ(style.italic, c.italic);
    EXPECT_EQ(style.points, c.points);
  }
}

struct ChoiceCase {
  const wchar_t* original;
  bool bold, italic;
  int points;
  const wchar_t* written;
};

TEST(StyleField, ChoiceRewritesOnlyWhatChanged) {
  const ChoiceCase cases[] = {
      {L"1012", true, false, 12, L"1012"},   {L"1012", false, false, 12, L"0012"},
      {L"1012", true, true, 14, L"1114"},    {L"00012", false, false, 12, L"00012"},
      {L"00012", true, false, 12, L"10012"}, {L"2012", true, true, 12, L"2112"},
      {L"x012", true, false, 9, L"109"},     {L"", false, true, 20, L"0120"},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.original));
    Text written = StyleFieldAfterChoice(c.original, c.bold, c.italic, c.points);
    EXPECT_EQ(ToUtf8(written), ToUtf8(c.written));
    StyleField read = ReadStyleField(written);
    EXPECT_TRUE(read.readable);
    EXPECT_EQ(read.bold, c.bold);
    EXPECT_EQ(read.italic, c.italic);
    EXPECT_EQ(read.points, static_cast<float>(c.points));
  }
}

TEST(StyleField, SizesAreWholePoints) {
  EXPECT_EQ(WholePoints(120), 12);
  EXPECT_EQ(WholePoints(105), 11);
  EXPECT_EQ(WholePoints(104), 10);
  EXPECT_EQ(WholePoints(0), 1);
}

TEST(ActionTypes, EveryCodeTheProgramKnowsOnce) {
  bool seen[9] = {};
  for (std::size_t i = 0; i < kActionTypeCount; ++i) {
    const ActionType& type = ActionTypes()[i];
    ASSERT_GE(type.code, 0);
    ASSERT_LE(type.code, 8);
    EXPECT_FALSE(seen[type.code]) << type.code;
    seen[type.code] = true;
    EXPECT_EQ(ActionTypeOfCode(type.code), &type);
  }
  EXPECT_EQ(ActionTypeOfCode(9), nullptr);
  // The types that take an argument are the ones the loader stores one for.
  for (int code : {0, 1, 2, 3, 5, 8})
    EXPECT_NE(ActionTypeOfCode(code)->argument, ArgumentKind::None) << code;
  for (int code : {4, 6, 7})
    EXPECT_EQ(ActionTypeOfCode(code)->argument, ArgumentKind::None) << code;
}

TEST(ActionTypes, FieldReadAsTheLoaderCompares) {
  const std::pair<const wchar_t*, int> cases[] = {
      {L"0", 0},   {L"3", 3}, {L"8", 8},  {L" 5 ", 5},  {L"04", 4},  {L"9", -1},
      {L"-1", -1}, {L"", -1}, {L"x", -1}, {L"2.5", -1}, {L"&H3", 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ActionCodeOfField(c.first), c.second) << ToUtf8(c.first);
}

TEST(ActionTypes, ProgramChosenKeepsItsParameters) {
  EXPECT_EQ(ReplaceLaunchedProgram(L"setup.exe -s", L"tools\\new.exe"), L"tools\\new.exe -s");
  EXPECT_EQ(ReplaceLaunchedProgram(L"setup.exe", L"my tool.exe"), L"my tool.exe");
  EXPECT_EQ(ReplaceLaunchedProgram(L"", L"a.exe"), L"a.exe");
  EXPECT_EQ(ReplaceLaunchedProgram(L"my-tool.exe -x -y", L"b.exe"), L"b.exe -x -y");
  EXPECT_FALSE(ProgramNameSplits(L"my-tool.exe"));
  EXPECT_FALSE(ProgramNameSplits(L"my tool.exe"));
  EXPECT_TRUE(ProgramNameSplits(L"tools\\my -tool.exe"));
}

}  // namespace
