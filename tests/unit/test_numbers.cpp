#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "platform/errors.h"
#include "platform/numbers.h"

namespace {

template <class Convert>
std::optional<ErrorKind> ErrorOf(Convert convert) {
  try {
    convert();
  } catch (const AppError& e) {
    return e.kind();
  }
  return std::nullopt;
}

struct DoubleCase {
  const wchar_t* text;
  double value;
};

TEST(Numbers, RealNumbersForComparison) {
  const DoubleCase cases[] = {
      {L"0", 0},           {L"00", 0},          {L"0.0", 0},
      {L"0.5", 0.5},       {L" 7 ", 7},         {L"\t3", 3},
      {L"-2", -2},         {L"+2", 2},          {L"1.", 1},
      {L".25", 0.25},      {L"1e3", 1000},      {L"1E+2", 100},
      {L"25e-1", 2.5},     {L"2D2", 200},       {L"&H10", 16},
      {L"&hff", 255},      {L"&O17", 15},       {L"&HFFFF", -1},
      {L"&H10000", 65536}, {L"&HFFFFFFFF", -1}, {L"&H80000012", -2147483630.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToDouble(c.text), c.value) << ToUtf8(c.text);
}

TEST(Numbers, NonNumbersAreTypeMismatch) {
  for (const wchar_t* text :
       {L"",    L" ", L"abc", L"1a",  L"a1",  L"1 2", L".",   L"-",    L"+",   L"1e",
        L"1e+", L"&", L"&H",  L"&HG", L"&O8", L"&X1", L"- 1", L"0x10", L"1,5", L"--1"}) {
    EXPECT_EQ(ErrorOf([&] { ToDouble(text); }), ErrorKind::TypeMismatch) << ToUtf8(text);
  }
}

TEST(Numbers, ValuesTooLargeOverflow) {
  EXPECT_EQ(ErrorOf([] { ToDouble(L"1e999"); }), ErrorKind::Overflow);
  EXPECT_EQ(ErrorOf([] { ToDouble(L"&H100000000"); }), ErrorKind::Overflow);
  EXPECT_EQ(ErrorOf([] { ToSingle(L"1e39"); }), ErrorKind::Overflow);
}

TEST(Numbers, UsersDecimalSeparator) {
  SetDecimalSeparator(L',');
  EXPECT_EQ(ToDouble(L"0,5"), 0.5);
  EXPECT_EQ(ErrorOf([] { ToDouble(L"0.5"); }), ErrorKind::TypeMismatch);
  EXPECT_EQ(ToSingle(L"12,5"), 12.5f);
  SetDecimalSeparator(L'.');
  EXPECT_EQ(ErrorOf([] { ToDouble(L"0,5"); }), ErrorKind::TypeMismatch);
}

struct IntegerCase {
  const wchar_t* text;
  int32_t value;
};

TEST(Numbers, IntegersRoundHalfToEven) {
  const IntegerCase cases[] = {
      {L"2.5", 2},         {L"3.5", 4},           {L"-2.5", -2},   {L"-3.5", -4},     {L"0.5", 0},
      {L"1.5", 2},         {L"2.4999", 2},        {L"2.5001", 3},  {L"32767", 32767}, {L"-32768", -32768},
      {L"32767.4", 32767}, {L"-32768.5", -32768}, {L"&HFFFF", -1}, {L"&H7FFF", 32767}};
  for (const auto& c : cases)
    EXPECT_EQ(ToInt16(c.text), c.value) << ToUtf8(c.text);
  for (const auto& c : cases)
    EXPECT_EQ(ToInt32(c.text), c.value) << ToUtf8(c.text);
}

TEST(Numbers, IntegersOutsideTheirRangeOverflow) {
  for (const wchar_t* text : {L"32768", L"-32769", L"32767.5", L"1e5", L"&H10000"})
    EXPECT_EQ(ErrorOf([&] { ToInt16(text); }), ErrorKind::Overflow) << ToUtf8(text);
  for (const wchar_t* text : {L"2147483648", L"-2147483649", L"2147483647.5", L"1e10"})
    EXPECT_EQ(ErrorOf([&] { ToInt32(text); }), ErrorKind::Overflow) << ToUtf8(text);
  EXPECT_EQ(ToInt32(L"2147483647"), 2147483647);
  EXPECT_EQ(ToInt32(L"-2147483648"), INT32_MIN);
  EXPECT_EQ(ToInt32(L"16777215"), 16777215);
  EXPECT_EQ(ToInt32(L"&H80000012"), static_cast<int32_t>(0x80000012u));
}

TEST(Numbers, OneDigitFlags) {
  EXPECT_FALSE(ToFlag(L"0"));
  for (const wchar_t* text : {L"1", L"2", L"5", L"9"})
    EXPECT_TRUE(ToFlag(text)) << ToUtf8(text);
  for (const wchar_t* text : {L"", L" ", L"a", L"-", L"."})
    EXPECT_EQ(ErrorOf([&] { ToFlag(text); }), ErrorKind::TypeMismatch) << ToUtf8(text);
}

TEST(Numbers, DecimalTextOfColours) {
  EXPECT_EQ(ToDecimalText(255), L"255");
  EXPECT_EQ(ToDecimalText(0), L"0");
  EXPECT_EQ(ToDecimalText(static_cast<int32_t>(0x80000012u)), L"-2147483630");
  EXPECT_EQ(ToInt32(ToDecimalText(INT32_MIN)), INT32_MIN);
}

}  // namespace
