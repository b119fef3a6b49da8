// An edit the model refuses, with what the author needs to be told. The document is left as it was.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/text.h"

enum class EditRefusal {
  NoSuchLine,          // a line number past the end of the file
  LineEndsEarly,       // a field after the first one the line lacks
  TextBreaksLine,      // a bar or a line end inside a field, or a line end inside a line
  FieldUnreadable,     // the program would not read the field back as written (an empty last field)
  CodePageCannotHold,  // an ANSI file cannot hold the text: offer UTF-8 with a mark
  WouldReadAsUtf8,     // the ANSI file's bytes would then read as UTF-8: offer UTF-8 with a mark
  NotAMenuLine,        // a blank line has no fields
};

class EditError : public std::runtime_error {
 public:
  EditError(EditRefusal refusal, const std::string& what, Text text = Text(), std::string codePage = "")
      : std::runtime_error(what), refusal_(refusal), text_(std::move(text)), codePage_(std::move(codePage)) {}
  EditRefusal refusal() const { return refusal_; }
  // The text concerned: the one the code page cannot hold, or the field's new value.
  const Text& text() const { return text_; }
  const std::string& codePage() const { return codePage_; }
  // True when saving the file as UTF-8 with a mark lets the edit through.
  bool Utf8WouldDo() const {
    return refusal_ == EditRefusal::CodePageCannotHold || refusal_ == EditRefusal::WouldReadAsUtf8;
  }

 private:
  EditRefusal refusal_;
  Text text_;
  std::string codePage_;
};
