#include <gtest/gtest.h>

#include "disc.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace {

struct SplitCase {
  const wchar_t* content;
  std::vector<Text> lines;
};

TEST(LineReader, EndsLinesAtCrLfLoneLfAndLoneCr) {
  const SplitCase cases[] = {
      {L"", {}},
      {L"a", {L"a"}},
      {L"a\r\n", {L"a"}},
      {L"a\r\nb", {L"a", L"b"}},
      {L"a\r\nb\r\n", {L"a", L"b"}},
      {L"a\nb\n", {L"a", L"b"}},
      {L"a\rb\r", {L"a", L"b"}},
      {L"a\r\n\r\n", {L"a", L""}},
      {L"\r\n", {L""}},
      {L"a\n\nb", {L"a", L"", L"b"}},
      {L"a\n\rb", {L"a", L"", L"b"}},
      {L"a\r\r\nb", {L"a", L"", L"b"}},
      {L" a |b \r\n", {L" a |b "}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitLines(c.content), c.lines) << ToUtf8(c.content);
}

TEST(LineReader, NoLengthLimit) {
  Text longLine(100000, L'x');
  EXPECT_EQ(SplitLines(longLine + L"\r\n"), std::vector<Text>{longLine});
}

class TextFileTest : public DiscTest {};

TEST_F(TextFileTest, ReadsPastTheEndAsAnError) {
  fake.AddFile(L"D:\\a.txt", "one\r\ntwo\r\n");
  FileOpen(L"D:\\a.txt");
  EXPECT_EQ(LineInput(), L"one");
  EXPECT_FALSE(AtEndOfFile());
  EXPECT_EQ(LineInput(), L"two");
  EXPECT_TRUE(AtEndOfFile());
  try {
    LineInput();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::InputPastEnd);
  }
  FileClose();
  EXPECT_FALSE(FileIsOpen());
}

TEST_F(TextFileTest, MissingFileAndClosedFile) {
  try {
    FileOpen(L"D:\\none.txt");
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
  }
  EXPECT_FALSE(FileIsOpen());
  try {
    LineInput();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::BadFileNumber);
  }
}

TEST_F(TextFileTest, DoubleByteCharactersStayWhole) {
  // 0x83 0x7C is one character whose trail byte happens to be "|".
  fake.doubleByteCodePage = true;
  fake.AddFile(L"D:\\a.txt", std::string("x\x83|y|\r\n"));
  FileOpen(L"D:\\a.txt");
  Text line = LineInput();
  FileClose();
  ASSERT_EQ(line.size(), 4u);
  EXPECT_EQ(line[0], L'x');
  EXPECT_NE(line[1], L'|');
  EXPECT_EQ(line.substr(2), L"y|");
}

}  // namespace
