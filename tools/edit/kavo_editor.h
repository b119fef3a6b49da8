// Edits of kavo.inf: its six lines, read one after another with blank lines counted.
#pragma once

#include "platform/text.h"
#include "tools/edit/text_document.h"

enum class KavoLine { Flags, SplashPicture, LaunchCommand, MenuPicture, BackgroundSound, MouseOverSound };
constexpr int kKavoLineCount = 6;
const char* KavoLineName(KavoLine line);  // "flags", "splash", ...; also what `set` scripts write

class KavoEditor {
 public:
  explicit KavoEditor(TextDocument& document) : document_(document) {}

  // The line as the program reads it; empty when the file ends before it.
  Text Line(KavoLine line) const;
  // Rewrites the line. A file that ends before it gets the blank lines in between, with its own line end;
  // a file whose last line had no line end keeps ending without one.
  void SetLine(KavoLine line, const Text& value);
  // Line 1 for the three switches: the splash is its first character, the launch its second, the menu its
  // last.
  void SetFlags(bool splash, bool launch, bool menu);

 private:
  TextDocument& document_;
};
