// velmaro-author on Linux: iconv's code pages, the program installed under the tool's prefix.
#include <iconv.h>
#include <unistd.h>

#include <climits>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "tools/author/tool_system.h"
#include "tools/edit/posix/iconv_code_page.h"
#include "tools/edit/posix/posix_file_system.h"
#include "tools/edit/set_command.h"

std::string KnownCodePage(const std::string& asked) {
  std::string name = asked;
  if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) name = "CP" + name;
  iconv_t decoder = iconv_open("WCHAR_T", name.c_str());
  if (decoder == reinterpret_cast<iconv_t>(-1)) return "";
  iconv_close(decoder);
  return name;
}

std::string DefaultCodePage() {
  return "CP1252";
}

std::string CodePageHelp() {
  return "any iconv name\n"
         "                            or a Windows number (CP1251, 1251; default " +
         DefaultCodePage() + ")";
}

// <prefix>/share/velmaro/velmaro.exe.
std::string InstalledExe() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  std::string path(self, static_cast<std::size_t>(n));
  std::string bin = path.substr(0, path.rfind('/'));
  std::string exe = bin.substr(0, bin.rfind('/')) + "/share/velmaro/velmaro.exe";
  return access(exe.c_str(), R_OK) == 0 ? exe : "";
}

int Set(const std::vector<std::string>& args) {
  PosixFileSystem files;
  auto codePage = [](const std::string& name) -> std::unique_ptr<AnsiCodePage> {
    std::string known = KnownCodePage(name);
    if (known.empty()) return nullptr;
    try {
      return std::make_unique<IconvCodePage>(known);
    } catch (const std::invalid_argument&) {
      return nullptr;  // decodes but cannot encode
    }
  };
  return SetCommand(args, SetSystem{files, codePage, DefaultCodePage()}, std::cout, std::cerr);
}

std::string DesignUsage() {
  return "";
}

int Design(const std::vector<std::string>&) {
  return 2;
}
