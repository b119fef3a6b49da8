#include <gtest/gtest.h>

#include "disc.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace {

class TextFileTest : public DiscTest {
 protected:
  // Every line of a file, read the way the program reads it.
  std::vector<Text> ReadAll(const std::string& bytes) {
    fake.AddFile(L"D:\\a.txt", bytes);
    FileOpen(L"D:\\a.txt");
    std::vector<Text> lines;
    while (!AtEndOfFile())
      lines.push_back(LineInput());
    FileClose();
    return lines;
  }
};

struct SplitCase {
  const char* content;
  std::vector<Text> lines;
};

// Reads come in pieces of any size, down to a byte, so a CR LF may be cut between two reads.
TEST_F(TextFileTest, EndsLinesAtCrLfLoneLfAndLoneCrWhateverThePiecesRead) {
  const SplitCase cases[] = {
      {"", {}},
      {"a", {L"a"}},
      {"a\r\n", {L"a"}},
      {"a\r\nb", {L"a", L"b"}},
      {"a\r\nb\r\n", {L"a", L"b"}},
      {"a\nb\n", {L"a", L"b"}},
      {"a\rb\r", {L"a", L"b"}},
      {"a\r\n\r\n", {L"a", L""}},
      {"\r\n", {L""}},
      {"a\n\nb", {L"a", L"", L"b"}},
      {"a\n\rb", {L"a", L"", L"b"}},
      {"a\r\r\nb", {L"a", L"", L"b"}},
      {"ab\r", {L"ab"}},
      {" a |b \r\n", {L" a |b "}},
  };
  for (std::size_t piece : {0, 1, 2, 3}) {
    fake.readPiece = piece;
    for (const auto& c : cases)
      EXPECT_EQ(ReadAll(c.content), c.lines) << "piece " << piece << ": " << c.content;
  }
}

// Far more than one read's worth, with every kind of line end mixed, so that lines straddle reads and the
// reader drops what it has handed out while it goes.
TEST_F(TextFileTest, LargeFilesOfMixedLineEnds) {
  const char* ends[] = {"\r\n", "\n", "\r", "\r\n\n", "\r\r"};
  std::string bytes;
  std::vector<Text> expected;
  for (int i = 0; i < 20000; ++i) {
    std::string line = std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'x') + "|";
    bytes += line + ends[i % 5];
    expected.push_back(FromUtf8(line));
    if (i % 5 >= 3) expected.push_back(L"");
  }
  for (std::size_t piece : {0u, 7u, 65539u}) {
    fake.readPiece = piece;
    EXPECT_EQ(ReadAll(bytes), expected) << "pieces of " << piece;
  }
}

TEST_F(TextFileTest, NoLengthLimit) {
  std::string longLine(200000, 'x');
  EXPECT_EQ(ReadAll(longLine + "\r\n" + longLine),
            (std::vector<Text>{FromUtf8(longLine), FromUtf8(longLine)}));
}

// A scratched disc: the lines before the bad spot read, the line it cuts never does, and nothing after it.
std::string Utf16(const std::u16string& s) {
  std::string out = "\xFF\xFE";
  for (char16_t u : s) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

// Which encoding a file is taken to be, and its lines; reads come in pieces of any size.
TEST_F(TextFileTest, FindsTheEncodingOfEachFile) {
  const std::string ascii(9000, 'a');
  const struct {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    std::vector<Text> lines;
  } cases[] = {
      {"UTF-8 mark",
       "\xEF\xBB\xBF"
       "Caf\xC3\xA9\r\nx",
       TextEncoding::Utf8WithMark,
       {L"Caf\u00E9", L"x"}},
      {"UTF-8 mark and nothing", "\xEF\xBB\xBF", TextEncoding::Utf8WithMark, {}},
      {"UTF-16 mark",
       Utf16(u"Caf\u00E9\r\n\u0416|\u010A|\n"),
       TextEncoding::Utf16Le,
       {L"Caf\u00E9", L"\u0416|\u010A|"}},  // U+010A's low byte is an LF
      {"UTF-16 mark and nothing", "\xFF\xFE", TextEncoding::Utf16Le, {}},
      {"UTF-16, a lone surrogate", Utf16(u"a\xD800|b|"), TextEncoding::Utf16Le, {L"a\uFFFD|b|"}},
      {"unmarked UTF-8", "\xD0\xA3\xD1\x81|\r\n", TextEncoding::Utf8, {L"\u0423\u0441|"}},
      {"unmarked UTF-8, the first multi-byte character after a whole read",
       ascii + "\r\n\xCE\xA9",
       TextEncoding::Utf8,
       {FromUtf8(ascii), L"\u03A9"}},
      {"pure ASCII", "a|b|\r\n", TextEncoding::Ansi, {L"a|b|"}},
      {"Latin-1, not UTF-8", "Caf\xE9|", TextEncoding::Ansi, {L"Caf\u00E9|"}},
      {"an overlong form is no UTF-8", "\xC0\xAF|", TextEncoding::Ansi, {L"\u00C0\u00AF|"}},
      {"Shift-JIS that starts as valid UTF-8",
       "\xC3\xA9\r\n" + ascii + "\x83\x7C|",
       TextEncoding::Ansi,
       {L"\u00C3\u00A9", FromUtf8(ascii) + L"\u0083\u007C|"}},
      {"UTF-8 cut off at the end", "\xC3\xA9|\xE2\x82", TextEncoding::Ansi, {L"\u00C3\u00A9|\u00E2\u0082"}},
  };
  for (std::size_t piece : {0u, 1u, 3u}) {
    fake.readPiece = piece;
    for (const auto& c : cases) {
      fake.AddFile(L"D:\\a.txt", c.bytes);
      FileOpen(L"D:\\a.txt");
      EXPECT_EQ(FileEncoding(), c.encoding) << c.what << ", pieces of " << piece;
      std::vector<Text> lines;
      while (!AtEndOfFile())
        lines.push_back(LineInput());
      FileClose();
      EXPECT_EQ(lines, c.lines) << c.what << ", pieces of " << piece;
    }
  }
}

// A byte outside ASCII at the start makes the reader look through the whole file for its encoding, so a
// bad spot further on is met at once: the file cannot be opened. Elsewhere it is met on the way.
TEST_F(TextFileTest, AFileThatCannotBeReadThroughCannotBeOpened) {
  FakeFile damaged;
  damaged.readFailsAt = 9000;
  fake.AddFile(L"D:\\a.txt", "\xC3\xA9" + std::string(10000, 'a'), damaged);
  try {
    FileOpen(L"D:\\a.txt");
    ADD_FAILURE() << "opened";
  } catch (const AppError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
  }
  EXPECT_FALSE(FileIsOpen());
}

TEST_F(TextFileTest, AFailedReadFailsEveryReadAfterIt) {
  std::string bytes = "\xEF\xBB\xBFone\r\ntwo\r\nthree\r\n";
  for (std::size_t piece : {0, 1, 4}) {
    fake.readPiece = piece;
    FakeFile damaged;
    damaged.readFailsAt = 10;  // inside "two"
    fake.AddFile(L"D:\\a.txt", bytes, damaged);
    FileOpen(L"D:\\a.txt");
    EXPECT_EQ(LineInput(), L"one");
    for (int i = 0; i < 3; ++i) {
      try {
        LineInput();
        ADD_FAILURE() << "read " << i << " with pieces of " << piece;
      } catch (const AppError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
      }
    }
    EXPECT_TRUE(ReadFailed());
    EXPECT_THROW(AtEndOfFile(), AppError);
    FileClose();
    EXPECT_FALSE(ReadFailed());
  }
}

// Asked for its encoding while all it has read is ASCII, the reader looks through the rest of the file: a
// bad spot met there fails the file as a bad spot met by a line read does.
TEST_F(TextFileTest, ABadSpotMetWhileFindingTheEncodingFailsTheFile) {
  std::string bytes;
  while (bytes.size() < 20000)
    bytes += "0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe|\r\n";
  for (std::size_t piece : {0, 1, 4096}) {
    fake.readPiece = piece;
    FakeFile damaged;
    damaged.readFailsAt = 15000;
    fake.AddFile(L"D:\\a.txt", bytes, damaged);
    FileOpen(L"D:\\a.txt");
    EXPECT_THROW(FileEncoding(), AppError) << "pieces of " << piece;
    EXPECT_TRUE(ReadFailed()) << "pieces of " << piece;
    EXPECT_THROW(LineInput(), AppError) << "pieces of " << piece;
    EXPECT_THROW(AtEndOfFile(), AppError) << "pieces of " << piece;
    FileClose();
  }
}

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

// Where a wide character is a UTF-16 unit, a character beyond the first plane comes as a pair: one character.
TEST(Utf8, ASurrogatePairIsOneCharacter) {
  Text pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(ToUtf8(pair), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(Text(1, static_cast<wchar_t>(0xD83D))), "\xED\xA0\xBD");  // a lone half stays as it was
}
