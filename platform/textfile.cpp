#include "platform/textfile.h"

#include "platform/errors.h"
#include "platform/platform.h"

namespace {

bool isOpen = false;
std::vector<Text> lines;
std::size_t next = 0;

}  // namespace

std::vector<Text> SplitLines(const Text& content) {
  std::vector<Text> result;
  Text line;
  for (std::size_t i = 0; i < content.size(); ++i) {
    wchar_t c = content[i];
    if (c == L'\r' || c == L'\n') {
      result.push_back(line);
      line.clear();
      if (c == L'\r' && i + 1 < content.size() && content[i + 1] == L'\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) result.push_back(line);
  return result;
}

void FileOpen(const Text& path) {
  FileClose();
  Text content = Sys().ReadTextFile(path);
  lines = SplitLines(content);
  next = 0;
  isOpen = true;
}

Text LineInput() {
  if (!isOpen) throw AppError(ErrorKind::BadFileNumber);
  if (next >= lines.size()) throw AppError(ErrorKind::InputPastEnd);
  return lines[next++];
}

bool AtEndOfFile() {
  return !isOpen || next >= lines.size();
}

void FileClose() {
  isOpen = false;
  lines.clear();
  next = 0;
}

bool FileIsOpen() {
  return isOpen;
}
