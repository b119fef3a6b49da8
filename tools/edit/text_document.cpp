#include "tools/edit/text_document.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include "platform/unicode.h"
#include "tools/edit/edit_error.h"

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::Utf16Le;
}

// Code points of a text; a wide character is a UTF-16 unit on Windows, so pairs are joined there.
template <class Each>
void ForEachCodePoint(const Text& text, Each each) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      auto d = static_cast<char32_t>(text[i + 1]);
      if (d >= 0xDC00 && d <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
        ++i;
      }
    }
    each(c);
  }
}

std::string EncodeUtf16Le(const Text& text) {
  std::string out;
  auto unit = [&](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  ForEachCodePoint(text, [&](char32_t c) {
    if (c < 0x10000) return unit(c);
    c -= 0x10000;
    unit(0xD800 + (c >> 10));
    unit(0xDC00 + (c & 0x3FF));
  });
  return out;
}

// The bytes of the well-formed UTF-8 sequence at `b`, or 1 for a byte the decoder replaces on its own.
std::size_t Utf8PieceLength(const unsigned char* b, std::size_t available) {
  std::size_t n = b[0] >= 0xC2 && b[0] <= 0xDF   ? 2
                  : b[0] >= 0xE0 && b[0] <= 0xEF ? 3
                  : b[0] >= 0xF0 && b[0] <= 0xF4 ? 4
                                                 : 1;
  if (n == 1 || n > available) return 1;
  Utf8Validator check;
  check.Feed(reinterpret_cast<const char*>(b), n);
  return check.Valid() ? n : 1;
}

}  // namespace

TextEncoding EncodingOfBytes(const std::string& bytes) {
  if (bytes.compare(0, 3, kUtf8Mark) == 0) return TextEncoding::Utf8WithMark;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return TextEncoding::Utf16Le;
  Utf8Validator check;
  check.Feed(bytes.data(), bytes.size());
  return check.Valid() && check.SawMultiByte() ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Ansi:
      return "ANSI";
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf8WithMark:
      return "UTF-8 with a mark";
    case TextEncoding::Utf16Le:
      return "UTF-16 LE";
  }
  return "?";
}

TextDocument::TextDocument(std::string bytes, const AnsiCodePage& codePage)
    : bytes_(std::move(bytes)), codePage_(codePage), encoding_(EncodingOfBytes(bytes_)) {
  IndexLines();
}

std::size_t TextDocument::MarkLength() const {
  return encoding_ == TextEncoding::Utf8WithMark ? 3 : IsUtf16(encoding_) ? 2 : 0;
}

// The program's reader: a line ends at CR LF, a lone CR or a lone LF, counted in code units; the file
// ends where less than a unit is left.
void TextDocument::IndexLines() {
  lines_.clear();
  const std::size_t unit = IsUtf16(encoding_) ? 2 : 1, size = bytes_.size();
  const char* data = bytes_.data();
  auto is = [&](std::size_t at, char c) {
    return at + unit <= size && data[at] == c && (unit == 1 || data[at + 1] == 0);
  };
  auto lineEnd = [&](std::size_t from) {
    if (unit == 1)
      return static_cast<std::size_t>(
          std::find_if(data + from, data + size, [](char c) { return c == '\r' || c == '\n'; }) - data);
    std::size_t end = from;
    while (end + unit <= size && !is(end, '\r') && !is(end, '\n'))
      end += unit;
    return end + unit > size ? size : end;  // an odd last byte belongs to the last line
  };
  for (std::size_t at = MarkLength(); size - at >= unit;) {
    LineSpan line;
    line.start = at;
    std::size_t end = lineEnd(at);
    line.length = end - at;
    if (is(end, '\r'))
      line.endLength = is(end + unit, '\n') ? 2 * unit : unit;
    else if (is(end, '\n'))
      line.endLength = unit;
    lines_.push_back(line);
    at = line.End();
  }
}

std::string TextDocument::LineBytes(std::size_t index) const {
  const LineSpan& line = Line(index);
  return bytes_.substr(line.start, line.length);
}

std::string TextDocument::LineEndBytes(std::size_t index) const {
  const LineSpan& line = Line(index);
  return bytes_.substr(line.start + line.length, line.endLength);
}

Text TextDocument::LineText(std::size_t index) const {
  const LineSpan& line = Line(index);
  return Decode(bytes_.data() + line.start, line.length);
}

void TextDocument::LineCharacters(std::size_t index, Text& text, std::vector<std::size_t>& offsets) const {
  const LineSpan& line = Line(index);
  Characters(bytes_.data() + line.start, line.length, text, offsets);
}

void TextDocument::Characters(const char* start,
                              std::size_t count,
                              Text& text,
                              std::vector<std::size_t>& offsets) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(start);
  text.clear();
  offsets.clear();
  Text piece;
  for (std::size_t i = 0; i < count;) {
    std::size_t left = count - i, length;
    if (IsUtf16(encoding_)) {
      bool pair = left >= 4 && bytes[i + 1] >= 0xD8 && bytes[i + 1] <= 0xDB && bytes[i + 3] >= 0xDC &&
                  bytes[i + 3] <= 0xDF;
      length = pair ? 4 : left >= 2 ? 2 : 1;
    } else if (bytes[i] < 0x80) {
      length = 1;
    } else if (encoding_ == TextEncoding::Ansi) {
      length = std::min(left, codePage_.CharacterLength(reinterpret_cast<const char*>(bytes + i), left));
    } else {
      length = Utf8PieceLength(bytes + i, left);
    }
    piece = Decode(reinterpret_cast<const char*>(bytes + i), length);
    text += piece;
    offsets.insert(offsets.end(), piece.size(), i);
    i += length;
  }
  offsets.push_back(count);
}

std::string TextDocument::LineEndNear(std::size_t index) const {
  if (index < lines_.size() && lines_[index].endLength > 0) return LineEndBytes(index);
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].endLength > 0) return LineEndBytes(i);
  return Encode(L"\r\n");
}

Text TextDocument::Decode(const char* bytes, std::size_t length) const {
  Text text;
  if (encoding_ == TextEncoding::Ansi)
    codePage_.Decode(bytes, length, text);
  else if (IsUtf16(encoding_))
    DecodeUtf16Le(bytes, length, text);
  else
    DecodeUtf8(bytes, length, text);
  return text;
}

std::string TextDocument::Encode(const Text& text) const {
  if (IsUtf16(encoding_)) return EncodeUtf16Le(text);
  if (encoding_ != TextEncoding::Ansi) return ToUtf8(text);
  std::string bytes;
  if (!codePage_.Encode(text, bytes))
    throw EditError(EditRefusal::CodePageCannotHold,
                    "the code page " + codePage_.Name() + " cannot hold \"" + ToUtf8(text) + "\"", text,
                    codePage_.Name());
  return bytes;
}

void TextDocument::Perform(const Splice& splice, bool forward) {
  const std::string& out = forward ? splice.removed : splice.inserted;
  const std::string& in = forward ? splice.inserted : splice.removed;
  bytes_.replace(splice.at, out.size(), in);
  encoding_ = forward ? splice.encodingAfter : splice.encodingBefore;
  IndexLines();
}

void TextDocument::Apply(Splice splice) {
  if (splice.removed == splice.inserted && splice.encodingBefore == splice.encodingAfter) return;
  Perform(splice, true);
  if (encoding_ == TextEncoding::Ansi && EncodingOfBytes(bytes_) != TextEncoding::Ansi) {
    Perform(splice, false);
    throw EditError(EditRefusal::WouldReadAsUtf8,
                    "after this edit the program would read the ANSI file as UTF-8",
                    Decode(splice.inserted.data(), splice.inserted.size()), codePage_.Name());
  }
  if (openGroups_ > 0 && groupHasStep_) {
    history_[applied_ - 1].push_back(std::move(splice));
    return;
  }
  if (savedAt_ > applied_) savedAt_ = kUnreachable;
  history_.resize(applied_);
  history_.push_back({std::move(splice)});
  ++applied_;
  groupHasStep_ = openGroups_ > 0;
}

void TextDocument::Replace(std::size_t at, std::size_t length, const std::string& inserted) {
  if (at > bytes_.size()) throw std::out_of_range("an edit past the end of the file");
  Splice splice;
  splice.at = at;
  splice.removed = bytes_.substr(at, length);
  splice.inserted = inserted;
  splice.encodingBefore = splice.encodingAfter = encoding_;
  Apply(std::move(splice));
}

void TextDocument::ConvertToUtf8WithMark() {
  if (encoding_ == TextEncoding::Utf8WithMark) return;
  std::size_t mark = MarkLength();
  Splice splice;
  splice.at = 0;
  splice.removed = bytes_;
  splice.inserted = kUtf8Mark + ToUtf8(Decode(bytes_.data() + mark, bytes_.size() - mark));
  splice.encodingBefore = encoding_;
  splice.encodingAfter = TextEncoding::Utf8WithMark;
  Apply(std::move(splice));
}

void TextDocument::Undo() {
  if (!CanUndo()) return;
  const auto& step = history_[--applied_];
  for (auto splice = step.rbegin(); splice != step.rend(); ++splice)
    Perform(*splice, false);
}

void TextDocument::Redo() {
  if (!CanRedo()) return;
  for (const Splice& splice : history_[applied_++])
    Perform(splice, true);
}

TextDocument::Group::Group(TextDocument& document)
    : document_(document), exceptions_(std::uncaught_exceptions()) {
  if (document_.openGroups_++ == 0) document_.groupHasStep_ = false;
}

TextDocument::Group::~Group() {
  if (--document_.openGroups_ > 0) return;
  if (document_.groupHasStep_ && std::uncaught_exceptions() > exceptions_) {
    document_.Undo();
    document_.history_.resize(document_.applied_);
  }
  document_.groupHasStep_ = false;
}
