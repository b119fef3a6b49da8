// The conversions of configuration text to numbers agree with each other on any text: an integer is the
// real value rounded half to even when it fits, an overflow when it does not; a text that is no number is a
// mismatch for every conversion. The first byte picks the user's decimal separator.
#include <cfloat>
#include <cmath>
#include <optional>

#include "check.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace {

template <class Convert>
auto Try(Convert convert, std::optional<ErrorKind>& error) -> std::optional<decltype(convert())> {
  error.reset();
  try {
    return convert();
  } catch (const AppError& e) {
    error = e.kind();
  }
  return std::nullopt;
}

template <class Int>
void CheckInteger(std::optional<Int> value,
                  std::optional<ErrorKind> error,
                  std::optional<double> real,
                  std::optional<ErrorKind> realError,
                  double low,
                  double high) {
  if (!real) {
    FUZZ_CHECK(!value);
    FUZZ_CHECK(error == realError);
    return;
  }
  double rounded = std::nearbyint(*real);
  if (rounded < low || rounded > high) {
    FUZZ_CHECK(!value);
    FUZZ_CHECK(error == ErrorKind::Overflow);
  } else {
    FUZZ_CHECK(value);
    FUZZ_CHECK(static_cast<double>(*value) == rounded);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const wchar_t separators[] = {L'.', L',', L'\'', L' '};
  SetDecimalSeparator(separators[data[0] % 4]);
  const Text text = BytesToText(data + 1, size - 1);

  std::optional<ErrorKind> realError, singleError, int16Error, int32Error, flagError;
  auto real = Try([&] { return ToDouble(text); }, realError);
  auto single = Try([&] { return ToSingle(text); }, singleError);
  auto int16 = Try([&] { return ToInt16(text); }, int16Error);
  auto int32 = Try([&] { return ToInt32(text); }, int32Error);
  auto flag = Try([&] { return ToFlag(text); }, flagError);

  if (real) {
    FUZZ_CHECK(std::isfinite(*real));
    FUZZ_CHECK(flag && *flag == (*real != 0.0));
    if (std::fabs(*real) > FLT_MAX) {
      FUZZ_CHECK(!single && singleError == ErrorKind::Overflow);
    } else {
      FUZZ_CHECK(single && *single == static_cast<float>(*real));
    }
  } else {
    FUZZ_CHECK(realError == ErrorKind::TypeMismatch || realError == ErrorKind::Overflow);
    FUZZ_CHECK(!single && singleError == realError);
    FUZZ_CHECK(!flag && flagError == realError);
  }
  CheckInteger(int16, int16Error, real, realError, -32768.0, 32767.0);
  CheckInteger(int32, int32Error, real, realError, -2147483648.0, 2147483647.0);

  // The decimal text of a colour reads back as the same colour, whatever the separator.
  if (int32) {
    const Text decimal = ToDecimalText(*int32);
    FUZZ_CHECK(ToInt32(decimal) == *int32);
    FUZZ_CHECK(decimal.find(L' ') == Text::npos);
  }

  // Plain digits, as most of a disc's numbers are written, read as their value.
  if (!text.empty() && text.size() <= 15 && text.find_first_not_of(L"0123456789") == Text::npos) {
    FUZZ_CHECK(real && *real == std::stod(ToUtf8(text)));
  }
  return 0;
}
