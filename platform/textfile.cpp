#include "platform/textfile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/errors.h"
#include "platform/platform.h"

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

// Appends the next bytes of the file to the buffer; false at the end of the file.
bool Refill() {
  if (failed) throw AppError(ErrorKind::FileNotFound);
  if (exhausted) return false;
  if (buffer.size() < filled + kChunk) buffer.resize(filled + kChunk);
  try {
    std::size_t got = Sys().ReadTextBytes(&buffer[filled], kChunk);
    filled += got;
    exhausted = got == 0;
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

void Take(std::size_t end, std::size_t after, Text& line) {
  Sys().DecodeAnsi(buffer.data() + next, end - next, line);
  next = after;
  ++linesRead;
}

}  // namespace

void FileOpen(const Text& path) {
  FileClose();
  Sys().OpenTextFile(path);
  isOpen = true;
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
    std::size_t end = FindLineEnd(scan);
    if (end == std::string::npos) {
      scan = filled;
      if (Refill()) continue;
      if (next == filled) throw AppError(ErrorKind::InputPastEnd);
      return Take(filled, filled, line);  // a last line without a line end
    }
    std::size_t after = end + 1;
    if (buffer[end] == '\r') {
      if (after == filled) Refill();  // is the CR followed by an LF?
      if (after < filled && buffer[after] == '\n') ++after;
    }
    return Take(end, after, line);
  }
}

bool AtEndOfFile() {
  if (!isOpen) return true;
  if (failed) throw AppError(ErrorKind::FileNotFound);
  return next == filled && !Refill();
}

long LinesRead() {
  return linesRead;
}

bool ReadFailed() {
  return isOpen && failed;
}

void FileClose() {
  if (isOpen) Sys().CloseTextFile();
  isOpen = exhausted = failed = lfKnown = false;
  std::string().swap(buffer);
  filled = next = lfAt = noLfBefore = 0;
  linesRead = 0;
}

bool FileIsOpen() {
  return isOpen;
}
