// The Windows build's own UTF-8 decoding and character widths agree with libunistring's, which the Linux
// build uses, so that carets stand under the same column on both.
#include <gtest/gtest.h>

#include <string>

#include "tools/author/char_cells.h"

namespace {

TEST(CharacterCells, TheTableAgreesWithLibunistring) {
  const char32_t characters[] = {
      U'A',    U'~',    0xA0,    U'é',    0x00AD,   U'Ж',    U'ж',    U'Ω',    0x05D0,  0x0627,
      0x0301,  0x0483,  0x0591,  0x064B,  0x0E31,   0x1160,  0x200B,  0x200D,  0x2060,  0xFEFF,
      0xFE0F,  U'€',    0x2329,  0x2E80,  0x3000,   U'あ',   U'ア',   U'漢',   U'한',   0xAC00,
      0xD7A3,  0xF900,  0xFF01,  0xFF61,  0xFFE0,   0x1F600, 0x1F4A9, 0x1F300, 0x1F321, 0x20000,
      0x2FFFD, 0x30000, 0xE0001, 0xE0100, 0x10FFFF, 0x1D167, 0x302A,  0x3099,  0x1100,  0x115F,
  };
  for (char32_t c : characters)
    EXPECT_EQ(TableCharacterCells(c), CharacterCells(c)) << std::hex << "U+" << static_cast<unsigned>(c);
}

TEST(CharacterCells, TheDecoderAgreesWithLibunistringOnEveryShape) {
  const std::string samples[] = {
      "A",
      "\xC3\xA9",
      "\xE2\x82\xAC",
      "\xF0\x9F\x98\x80",
      "\xF4\x8F\xBF\xBF",
      "\x80",
      "\xC0\xAF",
      "\xC1\xBF",
      "\xE0\x80\xAF",
      "\xED\xA0\x80",
      "\xF0\x80\x80\xAF",
      "\xF4\x90\x80\x80",
      "\xF5\x80\x80\x80",
      "\xC3",
      "\xE2\x82",
      "\xC3\x28",
      "\xFF",
      "\xFE",
      "\xE2\x28\xA1",
      "\xEF\xBF\xBD",
  };
  for (const std::string& s : samples) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    char32_t table = 0, unistring = 0;
    int tableLength = TableNextCharacter(bytes, s.size(), &table);
    int unistringLength = NextCharacter(bytes, s.size(), &unistring);
    EXPECT_EQ(tableLength > 0, unistringLength > 0) << testing::PrintToString(s);
    if (tableLength > 0 && unistringLength > 0) {
      EXPECT_EQ(tableLength, unistringLength) << testing::PrintToString(s);
      EXPECT_EQ(table, unistring) << testing::PrintToString(s);
    }
  }
}

}  // namespace
