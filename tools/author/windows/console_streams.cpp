#include "tools/author/windows/console_streams.h"

#include "platform/text.h"

namespace {

// How many bytes at the end of `bytes` begin a UTF-8 character that is not complete yet.
std::size_t CutCharacter(const std::string& bytes) {
  std::size_t back = 0;
  while (back < bytes.size() && back < 4) {
    unsigned char byte = static_cast<unsigned char>(bytes[bytes.size() - 1 - back]);
    ++back;
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
  DWORD mode = 0;
  console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

ConsoleStream::~ConsoleStream() {
  Send();
  // A character still cut at the end goes out as it is.
  if (!kept_.empty() && handle_ && handle_ != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(handle_, kept_.data(), static_cast<DWORD>(kept_.size()), &written, nullptr);
  }
}

int ConsoleStream::overflow(int c) {
  if (c != traits_type::eof()) kept_ += static_cast<char>(c);
  if (c == '\n' || kept_.size() >= 4096) Send();
  return traits_type::not_eof(c);
}

std::streamsize ConsoleStream::xsputn(const char* bytes, std::streamsize count) {
  kept_.append(bytes, static_cast<std::size_t>(count));
  if (kept_.size() >= 4096 || kept_.find('\n') != std::string::npos) Send();
  return count;
}

int ConsoleStream::sync() {
  Send();
  return 0;
}

void ConsoleStream::Send() {
  if (kept_.empty() || !handle_ || handle_ == INVALID_HANDLE_VALUE) return;
  std::size_t whole = kept_.size() - CutCharacter(kept_);
  if (whole == 0) return;
  std::string out = kept_.substr(0, whole);
  kept_.erase(0, whole);
  if (console_) {
    Text wide = FromUtf8(out);
    for (std::size_t at = 0; at < wide.size();) {
      DWORD written = 0;
      DWORD count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
      if (!WriteConsoleW(handle_, wide.data() + at, count, &written, nullptr) || written == 0) break;
      at += written;
    }
    return;
  }
  for (std::size_t at = 0; at < out.size();) {
    DWORD written = 0;
    if (!WriteFile(handle_, out.data() + at, static_cast<DWORD>(out.size() - at), &written, nullptr) ||
        written == 0)
      break;
    at += written;
  }
}

ConsoleStreams::ConsoleStreams()
    : coutBefore_(std::cout.rdbuf(&out_)), cerrBefore_(std::cerr.rdbuf(&error_)) {}

ConsoleStreams::~ConsoleStreams() {
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(coutBefore_);
  std::cerr.rdbuf(cerrBefore_);
}
