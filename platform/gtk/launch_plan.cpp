#include "platform/gtk/launch_plan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool IsAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

wchar_t UpperAscii(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// "scheme:" with a scheme of two characters or more, so that "C:" stays a drive.
bool HasScheme(const Text& file) {
  if (file.empty() || !IsAsciiLetter(file[0])) return false;
  for (std::size_t i = 1; i < file.size(); ++i) {
    wchar_t c = file[i];
    if (c == L':') return i >= 2;
    if (!IsAsciiLetter(c) && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'-' && c != L'.') return false;
  }
  return false;
}

std::string LowerExtension(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return extension;
}

bool IsWindowsProgram(const DiscFile& file) {
  static const char* const kExtensions[] = {"exe", "com", "bat", "cmd", "msi", "pif", "scr"};
  std::string extension = LowerExtension(file.path);
  return file.head.compare(0, 2, "MZ") == 0 || std::any_of(std::begin(kExtensions), std::end(kExtensions),
                                                           [&](const char* e) { return extension == e; });
}

// The "#!" line: the interpreter and, as Linux passes it, everything after it as one argument. A line end
// written on Windows (CR LF) is not part of either.
bool ScriptInterpreter(const std::string& head, std::string* interpreter, std::string* argument) {
  if (head.compare(0, 2, "#!") != 0) return false;
  std::size_t end = head.find('\n');
  std::string line = head.substr(2, end == std::string::npos ? std::string::npos : end - 2);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.pop_back();
  std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return false;
  std::size_t stop = line.find_first_of(" \t", start);
  *interpreter = line.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
  argument->clear();
  if (stop != std::string::npos) {
    std::size_t rest = line.find_first_not_of(" \t", stop);
    if (rest != std::string::npos) *argument = line.substr(rest);
  }
  return true;
}

uint64_t Read(const std::string& bytes, std::size_t at, std::size_t size) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i)
    value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

}  // namespace

ShellTarget ClassifyShellFile(const Text& file, wchar_t drive) {
  ShellTarget target;
  if (file.size() >= 2 && IsAsciiLetter(file[0]) && file[1] == L':' &&
      (file.size() == 2 || file[2] == L'\\' || file[2] == L'/')) {
    target.kind = UpperAscii(file[0]) == UpperAscii(drive) ? ShellTarget::Disc : ShellTarget::Elsewhere;
    return target;
  }
  if (HasScheme(file)) {
    target.kind = ShellTarget::Uri;
    target.uri = ToUtf8(file);
    return target;
  }
  if (!file.empty() && file[0] == L'/' && (file.size() < 2 || file[1] != L'/')) {
    target.kind = ShellTarget::HostPath;
    target.uri = FileUri(ToUtf8(file));
    return target;
  }
  // The shell takes a bare web address for one.
  if (file.size() > 4 && (file.compare(0, 4, L"www.") == 0 || file.compare(0, 4, L"WWW.") == 0)) {
    target.kind = ShellTarget::Uri;
    target.uri = "http://" + ToUtf8(file);
  }
  return target;
}

std::string ElfInterpreter(const std::string& head) {
  if (head.size() < 52 ||
      head.compare(0, 4,
                   "\x7f"
                   "ELF") != 0 ||
      head[5] != 1)
    return std::string();
  bool wide = head[4] == 2;
  if (wide && head.size() < 64) return std::string();
  uint64_t tableAt = wide ? Read(head, 32, 8) : Read(head, 28, 4);
  uint64_t entrySize = Read(head, wide ? 54 : 42, 2);
  uint64_t entries = Read(head, wide ? 56 : 44, 2);
  if (entrySize < (wide ? 56u : 32u)) return std::string();
  for (uint64_t i = 0; i < entries; ++i) {
    uint64_t at = tableAt + i * entrySize;
    if (at > head.size() || head.size() - at < entrySize) break;
    if (Read(head, at, 4) != 3) continue;  // PT_INTERP
    uint64_t offset = wide ? Read(head, at + 8, 8) : Read(head, at + 4, 4);
    uint64_t size = wide ? Read(head, at + 32, 8) : Read(head, at + 16, 4);
    if (offset > head.size() || size > head.size() - offset) return std::string();
    std::string name = head.substr(offset, size);
    name = name.substr(0, name.find('\0'));
    return name.empty() || name[0] != '/' ? std::string() : name;
  }
  return std::string();
}

std::vector<std::string> SplitParameters(const Text& parameters) {
  std::vector<std::string> words;
  Text word;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    wchar_t c = parameters[i];
    if (c == L'\\') {
      std::size_t run = 0;
      while (i + run < parameters.size() && parameters[i + run] == L'\\')
        ++run;
      bool beforeQuote = i + run < parameters.size() && parameters[i + run] == L'"';
      // 2n backslashes and a quote: n backslashes, the quote groups; 2n+1: n and a literal quote.
      word.append(beforeQuote ? run / 2 : run, L'\\');
      if (beforeQuote && run % 2 == 1) {
        word += L'"';
        ++run;
      }
      i += run - 1;
      inWord = true;
      continue;
    }
    if (c == L'"') {
      // "" inside quotes is one quote.
      if (quoted && i + 1 < parameters.size() && parameters[i + 1] == L'"') {
        word += L'"';
        ++i;
      } else {
        quoted = !quoted;
      }
      inWord = true;
      continue;
    }
    if ((c == L' ' || c == L'\t') && !quoted) {
      if (inWord) words.push_back(ToUtf8(word));
      word.clear();
      inWord = false;
      continue;
    }
    word += c;
    inWord = true;
  }
  if (inWord) words.push_back(ToUtf8(word));
  return words;
}

std::string FileUri(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 std::strchr("/-._~", c) != nullptr;
    if (plain && c != 0) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

LaunchPlan PlanDiscLaunch(const DiscFile& file,
                          const Text& parameters,
                          const std::vector<std::string>& windowsHandler) {
  LaunchPlan plan;
  if (file.folder) {
    plan.kind = LaunchPlan::Open;
    plan.target = FileUri(file.path);
    return plan;
  }
  std::vector<std::string> arguments = SplitParameters(parameters);
  std::string interpreter, argument;
  std::string loader = ElfInterpreter(file.head);
  bool elf = file.head.compare(0, 4,
                               "\x7f"
                               "ELF") == 0;
  if (elf || ScriptInterpreter(file.head, &interpreter, &argument)) {
    plan.kind = LaunchPlan::Run;
    if (file.executable || (elf && loader.empty())) {
      plan.argv.push_back(file.path);
    } else if (elf) {
      // The loader runs a program it is handed as it would run it for the kernel, execute bit or not.
      plan.argv = {loader, file.path};
    } else {
      plan.argv.push_back(interpreter);
      if (!argument.empty()) plan.argv.push_back(argument);
      plan.argv.push_back(file.path);
    }
    plan.argv.insert(plan.argv.end(), arguments.begin(), arguments.end());
    return plan;
  }
  if (IsWindowsProgram(file)) {
    if (windowsHandler.empty()) {
      plan.kind = LaunchPlan::NeedsWindows;
      return plan;
    }
    plan.kind = LaunchPlan::Run;
    bool placed = false;
    for (const std::string& word : windowsHandler) {
      if (word == "%f" || word == "%F" || word == "%u" || word == "%U") {
        if (!placed) plan.argv.push_back(file.path);
        placed = true;
      } else {
        plan.argv.push_back(word);
      }
    }
    if (!placed) plan.argv.push_back(file.path);
    plan.argv.insert(plan.argv.end(), arguments.begin(), arguments.end());
    return plan;
  }
  plan.kind = LaunchPlan::Open;
  plan.target = FileUri(file.path);
  return plan;
}
