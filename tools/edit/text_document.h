// One configuration file as its bytes, cut into lines exactly as the program reads them, with every change
// as a splice of bytes that can be undone. Nothing is ever re-encoded or re-joined: bytes no edit touches
// stay as they were, down to the mark, the line ends and text the program ignores.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/textfile.h"
#include "tools/edit/code_page.h"

// A line's place in the file: its text, then its line end (CR LF, LF, CR, or none on the last line).
struct LineSpan {
  std::size_t start = 0;
  std::size_t length = 0;
  std::size_t endLength = 0;
  std::size_t End() const { return start + length + endLength; }
};

// A change of the file: `removed` at `at` becomes `inserted`. Converting the file's encoding changes the
// encoding new text is written in as well.
struct Splice {
  std::size_t at = 0;
  std::string removed;
  std::string inserted;
  TextEncoding encodingBefore = TextEncoding::Ansi;
  TextEncoding encodingAfter = TextEncoding::Ansi;
};

// The encoding the program gives these bytes: a mark says so; without one, bytes that are all UTF-8 with a
// character of more than one byte are UTF-8, anything else is ANSI.
TextEncoding EncodingOfBytes(const std::string& bytes);
const char* EncodingName(TextEncoding encoding);

class TextDocument {
 public:
  // `codePage` is the ANSI code page of the Windows the disc is made for; it must outlive the document.
  TextDocument(std::string bytes, const AnsiCodePage& codePage);

  const std::string& Bytes() const { return bytes_; }
  // The encoding new text is written in: the one the file was read in, until it is converted.
  TextEncoding Encoding() const { return encoding_; }
  const AnsiCodePage& CodePage() const { return codePage_; }
  std::size_t MarkLength() const;

  std::size_t LineCount() const { return lines_.size(); }
  const LineSpan& Line(std::size_t index) const { return lines_.at(index); }
  std::string LineBytes(std::size_t index) const;
  std::string LineEndBytes(std::size_t index) const;
  Text LineText(std::size_t index) const;
  // A line's text with the byte offset (from the line's start) of each character; offsets has one more
  // entry, the line's length. The characters of one encoded piece after the first share its offset.
  void LineCharacters(std::size_t index, Text& text, std::vector<std::size_t>& offsets) const;
  // The same for any bytes in the file's encoding.
  void Characters(const char* bytes, std::size_t length, Text& text, std::vector<std::size_t>& offsets) const;
  // The line end a new line next to `index` takes: that line's own, else the file's first, else CR LF.
  std::string LineEndNear(std::size_t index) const;

  Text Decode(const char* bytes, std::size_t length) const;
  // Throws EditError (CodePageCannotHold) when an ANSI file's code page has no form for a character.
  std::string Encode(const Text& text) const;

  // Replaces `length` bytes at `at` as one edit, the newest; a pending redo is dropped. An ANSI file whose
  // bytes would then read as UTF-8 refuses the edit (EditError WouldReadAsUtf8).
  void Replace(std::size_t at, std::size_t length, const std::string& inserted);
  // Rewrites the whole file as UTF-8 with a mark, as one edit; nothing to do for a file that has one.
  void ConvertToUtf8WithMark();
  // Edits made while a group is open are one step of undo (a drag moves a link's left and top at once).
  // An exception leaving the outermost group takes its edits back: a compound edit happens whole or not
  // at all.
  class Group {
   public:
    explicit Group(TextDocument& document);
    ~Group();
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

   private:
    TextDocument& document_;
    int exceptions_;
  };

  bool CanUndo() const { return applied_ > 0; }
  bool CanRedo() const { return applied_ < history_.size(); }
  void Undo();
  void Redo();
  // Edits since the file was read or last saved (an undo back to that point is no edit).
  bool Modified() const { return applied_ != savedAt_; }
  void MarkSaved() { savedAt_ = applied_; }

 private:
  void Apply(Splice splice);
  void Perform(const Splice& splice, bool forward);
  void IndexLines();

  std::string bytes_;
  const AnsiCodePage& codePage_;
  TextEncoding encoding_;
  std::vector<LineSpan> lines_;
  std::vector<std::vector<Splice>> history_;  // steps of undo, oldest first
  std::size_t applied_ = 0;
  std::size_t savedAt_ = 0;  // kUnreachable once the saved state was dropped from the redo list
  static constexpr std::size_t kUnreachable = static_cast<std::size_t>(-1);
  int openGroups_ = 0;
  bool groupHasStep_ = false;  // the open group's edits so far are the newest step
};
