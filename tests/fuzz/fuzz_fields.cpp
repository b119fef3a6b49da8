// NextField on any text: every call either takes exactly one field off the front or fails leaving the field
// alone and the text empty. The calls go on until the text is used up, as the page loader's would.
#include "check.h"
#include "menu/fields.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Text text = BytesToText(data, size);
  const Text sentinel = L"\x1F untouched";
  for (int call = 0; call < 100000; ++call) {
    const Text before = text;
    Text field = sentinel;
    try {
      NextField(field, text);
    } catch (const AppError& e) {
      FUZZ_CHECK(e.kind() == ErrorKind::InvalidArgument);
      FUZZ_CHECK(before.size() != 1);
      FUZZ_CHECK(before.find(L'|') == Text::npos);
      FUZZ_CHECK(field == sentinel);
      FUZZ_CHECK(text.empty());
      return 0;
    }
    if (before.size() == 1) {
      FUZZ_CHECK(field == before);
      FUZZ_CHECK(text.empty());
    } else {
      FUZZ_CHECK(field.find(L'|') == Text::npos);
      FUZZ_CHECK(field + L"|" + text == before);
    }
    if (text.empty()) return 0;
  }
  FUZZ_CHECK(!"a text of at most the input's length needs no more calls than its length");
  return 0;
}
