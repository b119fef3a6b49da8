// Whether a call with texts goes to the ANSI or the wide form of a system operation. No system header, so it
// is tested on any host with a code page of the test's own making.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/text.h"

// One code page's conversions, as the system makes them.
struct CodePage {
  // Text to bytes with no best-fit look-alikes; false when a character has no byte form (the default
  // character stood in) or the conversion failed.
  bool (*encode)(const Text& text, std::string* bytes);
  Text (*decode)(const std::string& bytes);
};

// The bytes of a text that the code page holds exactly: encoded, then decoded back to the same characters.
// The round trip also catches what the encoder lets through unflagged: a UTF-8 code page takes no flags and
// turns a lone surrogate into a replacement character.
inline bool EncodeExactly(const CodePage& codePage, const Text& text, std::string* bytes) {
  bytes->clear();
  if (text.empty()) return true;
  return codePage.encode(text, bytes) && codePage.decode(*bytes) == text;
}

enum class Call { Ansi, Wide };

// A text of a call, and where its bytes go for the ANSI form.
struct CallText {
  const Text& text;
  std::string* bytes;
};

// The ANSI call when every text of it fits, each text's bytes then filled in, so that a disc in the system's
// own language reaches Windows exactly as before; else the wide call for all of them.
inline Call ChooseCall(const CodePage& codePage, std::initializer_list<CallText> texts) {
  for (const CallText& t : texts) {
    if (!EncodeExactly(codePage, t.text, t.bytes)) return Call::Wide;
  }
  return Call::Ansi;
}
