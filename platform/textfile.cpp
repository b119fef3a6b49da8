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

bool isOpen = false;
bool exhausted = false;  // the platform has reported the end of the file
bool failed = false;
std::string buffer;  // bytes read; only the first `filled` are valid
std::size_t filled = 0;
std::size_t next = 0;  // where the next line starts in the buffer
long linesRead = 0;
std::size_t lfAt = 0;  // the next LF at or after `next`, when lfKnown
bool lfKnown = false;
std::size_t noLfBefore = 0;  // no LF lies between `next` and here
TextEncoding encoding = TextEncoding::Ansi;
std::size_t unit = 1;  // bytes of a code unit: 2 in UTF-16
bool decided = true;   // false while every byte read so far is ASCII, which reads alike in every encoding
std::size_t base = 0;  // where in the file the buffer starts

void ResetBuffer() {
  exhausted = failed = lfKnown = false;
  filled = next = lfAt = noLfBefore = base = 0;
  decided = true;
}

bool Ascii(const char* bytes, std::size_t length, std::size_t* firstOther) {
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

// At the first byte outside ASCII (`at`, or the end of the buffer when asked early) the rest decides: if all
// of it is UTF-8, the file is UTF-8 (as editors now save it), otherwise it is ANSI text, read byte for byte
// as it always was. The rest is looked at in a scratch buffer, then the file is read again up to where the
// buffer ends.
void Decide(std::size_t at) {
  decided = true;
  Utf8Validator check;
  check.Feed(buffer.data() + at, filled - at);
  std::string scratch(kChunk, '\0');
  bool moved = false;
  for (std::size_t got; !check.Broken() && (got = Sys().ReadTextBytes(&scratch[0], kChunk)) > 0;) {
    check.Feed(scratch.data(), got);
    moved = true;
  }
  if (moved || check.Broken()) {
    Sys().RewindTextFile();
    for (std::size_t left = base + filled, got; left > 0; left -= got) {
      got = Sys().ReadTextBytes(&scratch[0], std::min(left, kChunk));
      if (got == 0) throw AppError(ErrorKind::FileNotFound);  // shorter than it was a moment ago
    }
  }
  encoding = check.Valid() && check.SawMultiByte() ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

// Appends the next bytes of the file to the buffer; false at the end of the file.
bool Refill() {
  if (failed) throw AppError(ErrorKind::FileNotFound);
  if (exhausted) return false;
  if (buffer.size() < filled + kChunk) buffer.resize(filled + kChunk);
  try {
    std::size_t got = Sys().ReadTextBytes(&buffer[filled], kChunk);
    filled += got;
    exhausted = got == 0;
    std::size_t other;
    if (!decided && !Ascii(buffer.data() + filled - got, got, &other)) Decide(filled - got + other);
    return got > 0;
  } catch (...) {
    failed = true;
    throw;
  }
}

// Drops the lines already handed out, so the buffer holds little more than the line being read.
void Compact() {
  if (next < kChunk) return;
  buffer.erase(0, next);
  filled -= next;
  base += next;
  lfKnown = lfKnown && lfAt >= next;
  lfAt = lfKnown ? lfAt - next : 0;
  noLfBefore = noLfBefore > next ? noLfBefore - next : 0;
  next = 0;
}

// The first CR or LF at or after `from`, or npos. Where the LF is remembered, a file whose lines end
// with a lone CR is not searched to the end of the buffer for every line.
std::size_t FindLineEnd(std::size_t from) {
  const char* data = buffer.data();
  if (!lfKnown || lfAt < from) {
    std::size_t start = std::max(from, noLfBefore);
    const void* lf = start < filled ? std::memchr(data + start, '\n', filled - start) : nullptr;
    lfKnown = lf != nullptr;
    lfAt = lfKnown ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : 0;
    noLfBefore = lfKnown ? lfAt : filled;
  }
  std::size_t limit = lfKnown ? lfAt : filled;
  const void* cr = from < limit ? std::memchr(data + from, '\r', limit - from) : nullptr;
  if (cr) return static_cast<std::size_t>(static_cast<const char*>(cr) - data);
  return lfKnown ? lfAt : std::string::npos;
}

// The first CR or LF unit at or after `from` in a UTF-16 file, or npos.
std::size_t FindLineEnd16(std::size_t from) {
  for (std::size_t i = from; i + 1 < filled; i += 2)
    if (buffer[i + 1] == 0 && (buffer[i] == '\r' || buffer[i] == '\n')) return i;
  return std::string::npos;
}

bool IsUnit(std::size_t at, char c) {
  return at + unit <= filled && buffer[at] == c && (unit == 1 || buffer[at + 1] == 0);
}

void Take(std::size_t end, std::size_t after, Text& line) {
  const char* bytes = buffer.data() + next;
  if (encoding == TextEncoding::Ansi)
    Sys().DecodeAnsi(bytes, end - next, line);
  else if (encoding == TextEncoding::Utf16Le)
    DecodeUtf16Le(bytes, end - next, line);
  else
    DecodeUtf8(bytes, end - next, line);
  next = after;
  ++linesRead;
}

// Reads until at least `count` bytes lie after `next`; false when the file ends first.
bool Have(std::size_t count) {
  while (filled - next < count)
    if (!Refill()) return false;
  return true;
}

}  // namespace

void FileOpen(const Text& path) {
  FileClose();
  Sys().OpenTextFile(path);
  isOpen = true;
  try {
    // A mark says the encoding and is dropped; otherwise the first byte outside ASCII will tell.
    Have(3);
    const auto* b = reinterpret_cast<const unsigned char*>(buffer.data());
    if (filled >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
      encoding = TextEncoding::Utf8WithMark;
      next = 3;
    } else if (filled >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
      encoding = TextEncoding::Utf16Le;
      unit = next = 2;
    } else {
      std::size_t other;
      decided = false;
      if (!Ascii(buffer.data(), filled, &other)) Decide(other);
    }
  } catch (...) {
    FileClose();  // a file that cannot be read through is no file
    throw;
  }
}

TextEncoding FileEncoding() {
  // Asked while every byte read so far is ASCII: the rest of the file is looked at now.
  if (!decided) Decide(filled);
  return encoding;
}

Text LineInput() {
  Text line;
  LineInput(line);
  return line;
}

void LineInput(Text& line) {
  if (!isOpen) throw AppError(ErrorKind::BadFileNumber);
  if (failed) throw AppError(ErrorKind::FileNotFound);
  Compact();
  std::size_t scan = next;
  for (;;) {
    std::size_t end = unit == 1 ? FindLineEnd(scan) : FindLineEnd16(scan);
    if (end == std::string::npos) {
      scan = next + (filled - next) / unit * unit;
      if (Refill()) continue;
      if (filled - next < unit) throw AppError(ErrorKind::InputPastEnd);
      return Take(filled, filled, line);  // a last line without a line end
    }
    std::size_t after = end + unit;
    if (IsUnit(end, '\r') && Have(after + unit - next) && IsUnit(after, '\n')) after += unit;
    return Take(end, after, line);
  }
}

bool AtEndOfFile() {
  if (!isOpen) return true;
  if (failed) throw AppError(ErrorKind::FileNotFound);
  return !Have(unit);
}

long LinesRead() {
  return linesRead;
}

bool ReadFailed() {
  return isOpen && failed;
}

void FileClose() {
  if (isOpen) Sys().CloseTextFile();
  isOpen = false;
  ResetBuffer();
  std::string().swap(buffer);
  linesRead = 0;
  encoding = TextEncoding::Ansi;
  unit = 1;
}

bool FileIsOpen() {
  return isOpen;
}
