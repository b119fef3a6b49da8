// velmaro-author on Windows: the system's code pages, and the program and the designer beside the tool.
#include <iostream>
#include <memory>

#include "platform/headless/windows_machine.h"
#include "platform/text.h"
#include "tools/author/tool_system.h"
#include "tools/edit/set_command.h"
#include "tools/edit/win32/win32_code_page.h"
#include "tools/edit/win32/win32_file_system.h"

namespace {

// The folder of this tool, with a final separator.
Text ToolFolder() {
  Text path(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return Text();
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool IsFile(const Text& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One argument of a command line as CommandLineToArgvW reads it back.
Text Quoted(const Text& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == Text::npos) return argument;
  Text out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

std::string KnownCodePage(const std::string& asked) {
  if (!WindowsCodePage(asked)) return "";
  // Named as on Linux, so that both builds word a report alike.
  return asked.find_first_not_of("0123456789") == std::string::npos ? "CP" + asked : asked;
}

std::string DefaultCodePage() {
  return SystemCodePageName();
}

std::string CodePageHelp() {
  return "a Windows number\n"
         "                            (1251, CP1251, windows-1251) or a common name (KOI8-R, ISO-8859-5,\n"
         "                            SHIFT_JIS, GBK, UTF-8); default " +
         DefaultCodePage() + ", this Windows' own";
}

std::string InstalledExe() {
  Text exe = ToolFolder() + L"velmaro.exe";
  return IsFile(exe) ? ToUtf8(exe) : "";
}

int Set(const std::vector<std::string>& args) {
  Win32FileSystem files;
  auto codePage = [](const std::string& name) -> std::unique_ptr<AnsiCodePage> {
    unsigned number = WindowsCodePage(name);
    return number ? std::make_unique<Win32CodePage>(number) : nullptr;
  };
  return SetCommand(args, SetSystem{files, codePage, DefaultCodePage()}, std::cout, std::cerr);
}

std::string DesignUsage() {
  return "  design [DISC]   opens the disc in the designer, a window to place and edit its links\n";
}

int Design(const std::vector<std::string>& args) {
  Text designer = ToolFolder() + L"velmaro-design.exe";
  if (!IsFile(designer)) {
    std::cerr
        << "velmaro-author: design: the designer is missing: there is no velmaro-design.exe beside this "
           "tool in "
        << ToUtf8(ToolFolder()) << "\n";
    return 2;
  }
  Text line = Quoted(designer);
  for (const std::string& a : args)
    line += L" " + Quoted(FromUtf8(a));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(designer.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::cerr << "velmaro-author: design: cannot start " << ToUtf8(designer) << " (error " << GetLastError()
              << ")\n";
    return 2;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
