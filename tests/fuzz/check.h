// What the fuzz targets share: an invariant check that aborts with a readable reason, so that libFuzzer
// saves the input, and the byte-per-character decoding that the fake disc uses for a single-byte code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/unicode.h"

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

inline Text BytesToText(const uint8_t* data, std::size_t size) {
  Text text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i)
    text += static_cast<wchar_t>(data[i]);
  return text;
}

// A configuration file's text: UTF-8 or UTF-16 LE after their mark, UTF-8 when the whole file is UTF-8 with
// a character of more than one byte, else one character per byte. The decoders are the program's own, tested
// on their own; the targets check what the program does with the text.
inline Text FileText(const uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  Text text;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    DecodeUtf8(bytes + 3, size - 3, text);
    return text;
  }
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    DecodeUtf16Le(bytes + 2, size - 2, text);
    return text;
  }
  Utf8Validator utf8;
  utf8.Feed(bytes, size);
  if (utf8.Valid() && utf8.SawMultiByte()) {
    DecodeUtf8(bytes, size, text);
    return text;
  }
  return BytesToText(data, size);
}

// Lines as the line reader ends them: at CR LF, a lone CR or a lone LF; a last line without a line end
// counts when it is not empty. Written afresh here so that the targets do not check the reader against
// itself.
inline std::vector<Text> ReferenceLines(const Text& content) {
  std::vector<Text> lines;
  Text line;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == L'\r' || content[i] == L'\n') {
      if (content[i] == L'\r' && i + 1 < content.size() && content[i + 1] == L'\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += content[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Nothing may be recorded after the end of the program, and the program ends at most once.
inline void CheckNothingAfterTheEnd(const std::vector<std::string>& transcript, bool ended) {
  for (std::size_t i = 0; i < transcript.size(); ++i)
    if (transcript[i] == "EndProgram") FUZZ_CHECK(i + 1 == transcript.size());
  FUZZ_CHECK(ended == (!transcript.empty() && transcript.back() == "EndProgram"));
}
