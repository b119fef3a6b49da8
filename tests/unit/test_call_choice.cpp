// Which calls keep their ANSI form and which go wide: judged per call, over all of its texts, by whether the
// system's code page gives back exactly the characters it was handed.
#include <gtest/gtest.h>

#include "platform/win32/call_choice.h"

namespace {

// A Western code page with one flaw of the kind WC_NO_BEST_FIT_CHARS is there to stop: "Ā" goes out as a
// plain "A" without being flagged. Katakana take two bytes, lead 0x83, as in a double-byte code page.
bool Encode(const Text& text, std::string* bytes) {
  for (wchar_t c : text) {
    if (c <= 0xFF && c != 0x83) {
      *bytes += static_cast<char>(c);
    } else if (c == L'\u0100') {
      *bytes += 'A';
    } else if (c >= 0x30A0 && c <= 0x30FF) {
      *bytes += '\x83';
      *bytes += static_cast<char>(c - 0x30A0 + 0x40);
    } else {
      return false;  // the default character stood in
    }
  }
  return true;
}

Text Decode(const std::string& bytes) {
  Text text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0x83 && i + 1 < bytes.size())
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[++i]) - 0x40 + 0x30A0);
    else
      text += static_cast<wchar_t>(b);
  }
  return text;
}

bool Fails(const Text&, std::string*) {
  return false;
}

const CodePage kPage{Encode, Decode};

TEST(CallChoice, TheAnsiCallOnlyWhenEveryTextComesBackExactly) {
  struct Case {
    const char* what;
    Text operation, file, parameters;
    Call call;
  } cases[] = {
      {"ASCII", L"open", L"D:\\setup.exe", L"-s", Call::Ansi},
      {"Western letters of the code page", L"open", L"D:\\Café\\menu.exe", L"-ü", Call::Ansi},
      {"double-byte characters of the code page", L"open", L"D:\\\u30A2\u30C3\u30D7.exe", L"", Call::Ansi},
      {"no texts at all", L"", L"", L"", Call::Ansi},
      {"Cyrillic in the file", L"open", L"D:\\\u0423\u0441\u0442\u0430\u043D\u043E\u0432\u043A\u0430.exe",
       L"-x", Call::Wide},
      {"Greek in the parameters only", L"open", L"D:\\setup.exe", L"-x \u03A9", Call::Wide},
      {"a look-alike the encoder let through", L"open", L"D:\\\u0100.exe", L"", Call::Wide},
  };
  for (const Case& c : cases) {
    std::string op = "stale", file = "stale", params = "stale";
    Call call = ChooseCall(kPage, {{c.operation, &op}, {c.file, &file}, {c.parameters, &params}});
    EXPECT_EQ(call, c.call) << c.what;
    if (call != Call::Ansi) continue;
    // The bytes handed on are the code page's own, each in its place, nothing left of earlier use.
    EXPECT_EQ(Decode(op), c.operation) << c.what;
    EXPECT_EQ(Decode(file), c.file) << c.what;
    EXPECT_EQ(Decode(params), c.parameters) << c.what;
  }
}

TEST(CallChoice, AFailingConversionGoesWide) {
  std::string bytes;
  EXPECT_EQ(ChooseCall(CodePage{Fails, Decode}, {{L"setup.exe", &bytes}}), Call::Wide);
  // An empty text needs no conversion, so nothing can fail: the call stays as it always was.
  EXPECT_EQ(ChooseCall(CodePage{Fails, Decode}, {{L"", &bytes}}), Call::Ansi);
}

}  // namespace
