#include "platform/textfile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/unicode.h"

namespace {

// What a plain buffered reader uses: a larger buffer gains nothing and costs fresh pages at every load.
constexpr std::size_t kChunk = 8 * 1024;

// True when the bytes are all ASCII; otherwise `firstOther` is where the first other byte is.
bool AllAscii(const char* bytes, std::size_t length, std::size_t* firstOther) {
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    if (word & 0x8080808080808080ull) break;
  }
  for (; i < length; ++i)
    if (bytes[i] & 0x80) {
      *firstOther = i;
      return false;
    }
  return true;
}

// Where the next LF of the buffer is, kept from line to line: in a file whose lines end with a lone CR,
// every line would otherwise search to the end of the buffer for an LF that is not there.
class LineFeedMemo {
 public:
  // The first LF at or after `from` among the first `filled` bytes, or npos.
  std::size_t Find(const char* data, std::size_t from, std::size_t filled) {
    if (!known_ || at_ < from) {
      std::size_t start = std::max(from, noneBefore_);
      const void* lf = start < filled ? std::memchr(data + start, '\n', filled - start) : nullptr;
      known_ = lf != nullptr;
      at_ = known_ ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : 0;
      noneBefore_ = known_ ? at_ : filled;
    }
    return known_ ? at_ : std::string::npos;
  }
  // The buffer lost its first `count` bytes.
  void Shift(std::size_t count) {
    known_ = known_ && at_ >= count;
    at_ = known_ ? at_ - count : 0;
    noneBefore_ = noneBefore_ > count ? noneBefore_ - count : 0;
  }

 private:
  std::size_t at_ = 0;  // the LF, when known_
  bool known_ = false;
  std::size_t noneBefore_ = 0;  // no LF lies between the line's start and here
};

// The one text file the program has open, read in pieces and handed out a line at a time. The buffer holds
// the bytes from the start of the line being read to as far as the platform has delivered.
class LineReader {
 public:
  void Open(const Text& path) {
    Close();
    Sys().OpenTextFile(path);
    open_ = true;
    try {
      TakeMark();
    } catch (...) {
      Close();  // a file that cannot be read through is no file
      throw;
    }
  }

  void Close() {
    if (open_) Sys().CloseTextFile();
    *this = LineReader();
    std::string().swap(buffer_);  // an assignment would keep the storage
  }

  bool IsOpen() const { return open_; }
  bool Failed() const { return open_ && failed_; }
  long LinesRead() const { return linesRead_; }

  TextEncoding Encoding() {
    // Asked while every byte read so far is ASCII: the rest of the file is looked at now.
    if (!encodingKnown_) DecideEncoding(filled_);
    return encoding_;
  }

  void ReadLine(Text& line) {
    if (!open_) throw AppError(ErrorKind::BadFileNumber);
    if (failed_) throw AppError(ErrorKind::FileNotFound);
    DropHandedOut();
    std::size_t scan = lineStart_;
    for (;;) {
      std::size_t end = unit_ == 1 ? FindLineEnd(scan) : FindLineEnd16(scan);
      if (end == std::string::npos) {
        scan = lineStart_ + (filled_ - lineStart_) / unit_ * unit_;
        if (ReadMore()) continue;
        if (filled_ - lineStart_ < unit_) throw AppError(ErrorKind::InputPastEnd);
        return HandOut(filled_, filled_, line);  // a last line without a line end
      }
      std::size_t after = end + unit_;
      if (IsUnit(end, '\r') && HaveAfterLineStart(after + unit_ - lineStart_) && IsUnit(after, '\n'))
        after += unit_;
      return HandOut(end, after, line);
    }
  }

  bool AtEnd() {
    if (!open_) return true;
    if (failed_) throw AppError(ErrorKind::FileNotFound);
    return !HaveAfterLineStart(unit_);
  }

 private:
  // A mark says the encoding and is dropped; otherwise the first byte outside ASCII will tell.
  void TakeMark() {
    HaveAfterLineStart(3);
    const auto* b = reinterpret_cast<const unsigned char*>(buffer_.data());
    if (filled_ >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
      encoding_ = TextEncoding::Utf8WithMark;
      lineStart_ = 3;
    } else if (filled_ >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
      encoding_ = TextEncoding::Utf16Le;
      unit_ = lineStart_ = 2;
    } else {
      std::size_t other;
      encodingKnown_ = false;
      if (!AllAscii(buffer_.data(), filled_, &other)) DecideEncoding(other);
    }
  }

  // At the first byte outside ASCII (`at`, or the end of the buffer when asked early) the rest decides: if
  // all of it is UTF-8, the file is UTF-8 (as editors now save it), otherwise it is ANSI text, read byte for
  // byte as it always was. The rest is looked at in a scratch buffer, then the file is read again up to where
  // the buffer ends.
  void DecideEncoding(std::size_t at) {
    encodingKnown_ = true;
    Utf8Validator check;
    check.Feed(buffer_.data() + at, filled_ - at);
    std::string scratch(kChunk, '\0');
    try {
      bool moved = false;
      for (std::size_t got; !check.Broken() && (got = Sys().ReadTextBytes(&scratch[0], kChunk)) > 0;) {
        check.Feed(scratch.data(), got);
        moved = true;
      }
      if (moved || check.Broken()) {
        Sys().RewindTextFile();
        for (std::size_t left = bufferOffset_ + filled_, got; left > 0; left -= got) {
          got = Sys().ReadTextBytes(&scratch[0], std::min(left, kChunk));
          if (got == 0) throw AppError(ErrorKind::FileNotFound);  // shorter than it was a moment ago
        }
      }
    } catch (...) {
      // The platform is somewhere else in the file than the buffer ends: no later line can be trusted.
      failed_ = true;
      throw;
    }
    encoding_ = check.Valid() && check.SawMultiByte() ? TextEncoding::Utf8 : TextEncoding::Ansi;
  }

  // Appends the next bytes of the file to the buffer; false at the end of the file.
  bool ReadMore() {
    if (failed_) throw AppError(ErrorKind::FileNotFound);
    if (atFileEnd_) return false;
    if (buffer_.size() < filled_ + kChunk) buffer_.resize(filled_ + kChunk);
    try {
      std::size_t got = Sys().ReadTextBytes(&buffer_[filled_], kChunk);
      filled_ += got;
      atFileEnd_ = got == 0;
      std::size_t other;
      if (!encodingKnown_ && !AllAscii(buffer_.data() + filled_ - got, got, &other))
        DecideEncoding(filled_ - got + other);
      return got > 0;
    } catch (...) {
      failed_ = true;
      throw;
    }
  }

  // Reads until at least `count` bytes lie after the line's start; false when the file ends first.
  bool HaveAfterLineStart(std::size_t count) {
    while (filled_ - lineStart_ < count)
      if (!ReadMore()) return false;
    return true;
  }

  // Drops the lines already handed out, so the buffer holds little more than the line being read.
  void DropHandedOut() {
    if (lineStart_ < kChunk) return;
    buffer_.erase(0, lineStart_);
    filled_ -= lineStart_;
    bufferOffset_ += lineStart_;
    lineFeed_.Shift(lineStart_);
    lineStart_ = 0;
  }

  // The first CR or LF at or after `from`, or npos.
  std::size_t FindLineEnd(std::size_t from) {
    const char* data = buffer_.data();
    std::size_t lf = lineFeed_.Find(data, from, filled_);
    std::size_t limit = lf != std::string::npos ? lf : filled_;
    const void* cr = from < limit ? std::memchr(data + from, '\r', limit - from) : nullptr;
    if (cr) return static_cast<std::size_t>(static_cast<const char*>(cr) - data);
    return lf;
  }

  // The first CR or LF unit at or after `from` in a UTF-16 file, or npos.
  std::size_t FindLineEnd16(std::size_t from) const {
    for (std::size_t i = from; i + 1 < filled_; i += 2)
      if (buffer_[i + 1] == 0 && (buffer_[i] == '\r' || buffer_[i] == '\n')) return i;
    return std::string::npos;
  }

  bool IsUnit(std::size_t at, char c) const {
    return at + unit_ <= filled_ && buffer_[at] == c && (unit_ == 1 || buffer_[at + 1] == 0);
  }

  // Decodes the line's bytes up to `end`; the next line starts at `after`.
  void HandOut(std::size_t end, std::size_t after, Text& line) {
    const char* bytes = buffer_.data() + lineStart_;
    if (encoding_ == TextEncoding::Ansi)
      Sys().DecodeAnsi(bytes, end - lineStart_, line);
    else if (encoding_ == TextEncoding::Utf16Le)
      DecodeUtf16Le(bytes, end - lineStart_, line);
    else
      DecodeUtf8(bytes, end - lineStart_, line);
    lineStart_ = after;
    ++linesRead_;
  }

  bool open_ = false;
  bool atFileEnd_ = false;  // the platform has reported the end of the file
  bool failed_ = false;
  std::string buffer_;  // only the first filled_ bytes are valid
  std::size_t filled_ = 0;
  std::size_t lineStart_ = 0;
  std::size_t bufferOffset_ = 0;  // where in the file the buffer starts
  LineFeedMemo lineFeed_;
  long linesRead_ = 0;
  TextEncoding encoding_ = TextEncoding::Ansi;
  std::size_t unit_ = 1;  // bytes of a code unit: 2 in UTF-16
  // False while every byte read so far is ASCII, which reads alike in every encoding.
  bool encodingKnown_ = true;
};

// The program reads one text file at a time, as its functions below say.
LineReader& CurrentFile() {
  static LineReader reader;
  return reader;
}

}  // namespace

void FileOpen(const Text& path) {
  CurrentFile().Open(path);
}

TextEncoding FileEncoding() {
  return CurrentFile().Encoding();
}

Text LineInput() {
  Text line;
  LineInput(line);
  return line;
}

void LineInput(Text& line) {
  CurrentFile().ReadLine(line);
}

bool AtEndOfFile() {
  return CurrentFile().AtEnd();
}

long LinesRead() {
  return CurrentFile().LinesRead();
}

bool ReadFailed() {
  return CurrentFile().Failed();
}

void FileClose() {
  CurrentFile().Close();
}

bool FileIsOpen() {
  return CurrentFile().IsOpen();
}
