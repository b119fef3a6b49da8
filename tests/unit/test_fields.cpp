#include <gtest/gtest.h>

#include "menu/fields.h"
#include "platform/errors.h"

namespace {

struct FieldCase {
  const wchar_t* text;
  const wchar_t* field;  // what the field holds afterwards; it starts as "old"
  const wchar_t* rest;
  bool fails;
};

TEST(NextField, TakesOneFieldOffTheFront) {
  const FieldCase cases[] = {
      {L"0|3|Help|", L"0", L"3|Help|", false},
      {L"Help|", L"Help", L"", false},
      {L"|Help|", L"", L"Help|", false},
      {L"||", L"", L"|", false},
      {L"7|", L"7", L"", false},
      {L"7", L"7", L"", false},  // one character is a whole field
      {L"|", L"|", L"", false},  // even a lone bar
      {L" a |b", L" a ", L"b", false},
      {L"ab", L"old", L"", true},
      {L"", L"old", L"", true},
      {L"05", L"old", L"", true},
  };
  for (const auto& c : cases) {
    Text field = L"old", text = c.text;
    bool failed = false;
    try {
      NextField(field, text);
    } catch (const AppError& e) {
      failed = true;
      EXPECT_EQ(e.kind(), ErrorKind::InvalidArgument);
    }
    EXPECT_EQ(failed, c.fails) << ToUtf8(c.text);
    EXPECT_EQ(field, c.field) << ToUtf8(c.text);
    EXPECT_EQ(text, c.rest) << ToUtf8(c.text);
  }
}

TEST(NextField, RepeatedCallsThenFailure) {
  Text text = L"a|b|c|", field;
  for (const wchar_t* expected : {L"a", L"b", L"c"}) {
    NextField(field, text);
    EXPECT_EQ(field, expected);
  }
  EXPECT_TRUE(text.empty());
  EXPECT_THROW(NextField(field, text), AppError);
  EXPECT_EQ(field, L"c");
}

TEST(NextField, LongTextsSplitWithoutLimit) {
  Text big(40000, L'x');
  Text text = big + L"|rest", field;
  NextField(field, text);
  EXPECT_EQ(field, big);
  EXPECT_EQ(text, L"rest");
}

}  // namespace
