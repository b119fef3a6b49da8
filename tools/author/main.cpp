// velmaro-author: tools for the authors of discs. check says what a disc will do and what is wrong with it,
// preview draws its pages, new writes a starter disc.
#include <unistd.h>

#include <climits>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/author/check.h"
#include "tools/author/newdisc.h"
#include "tools/author/preview.h"
#include "tools/author/report.h"
#include "tools/author/version.h"

namespace {

const char* const kUsage =
    "usage: velmaro-author check DISC [--format text|json|sarif] [--codepage CP]\n"
    "       velmaro-author preview DISC [--out DIR] [--page N] [--dpi D] [--overlay]\n"
    "       velmaro-author new DIR [--exe PATH]\n"
    "       velmaro-author --version\n";

int Usage(const std::string& problem) {
  std::cerr << "velmaro-author: " << problem << "\n" << kUsage;
  return 2;
}

// The program shipped beside the tool, for new discs: <prefix>/share/velmaro/velmaro.exe.
std::string InstalledExe() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  std::string path(self, static_cast<std::size_t>(n));
  std::string bin = path.substr(0, path.rfind('/'));
  std::string exe = bin.substr(0, bin.rfind('/')) + "/share/velmaro/velmaro.exe";
  return access(exe.c_str(), R_OK) == 0 ? exe : "";
}

int Check(const std::vector<std::string>& args) {
  std::string folder, format = "text";
  CheckOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--format" && i + 1 < args.size())
      format = args[++i];
    else if (args[i] == "--codepage" && i + 1 < args.size())
      options.codePage = args[++i];
    else if (folder.empty() && args[i].rfind("--", 0) != 0)
      folder = args[i];
    else
      return Usage("check: unexpected " + args[i]);
  }
  if (folder.empty()) return Usage("check: which disc folder?");
  if (format != "text" && format != "json" && format != "sarif")
    return Usage("check: unknown format " + format);
  CheckResult result = CheckDisc(folder, options);
  if (!result.readable) {
    std::cerr << "velmaro-author: cannot read the folder " << folder << "\n";
    return 2;
  }
  if (format == "json")
    WriteJson(std::cout, result, folder);
  else if (format == "sarif")
    WriteSarif(std::cout, result, folder);
  else
    WriteText(std::cout, result, folder);
  return result.Count(Severity::Error) > 0 ? 1 : 0;
}

int New(const std::vector<std::string>& args) {
  std::string folder, exe = InstalledExe();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--exe" && i + 1 < args.size())
      exe = args[++i];
    else if (folder.empty() && args[i].rfind("--", 0) != 0)
      folder = args[i];
    else
      return Usage("new: unexpected " + args[i]);
  }
  if (folder.empty()) return Usage("new: which folder?");
  std::string error;
  if (!WriteStarterDisc(folder, exe, &error)) {
    std::cerr << "velmaro-author: " << error << "\n";
    return 1;
  }
  std::cout << "A starter disc is in " << folder << ".";
  if (exe.empty()) std::cout << " Copy velmaro.exe into it before you burn it.";
  std::cout << " Check it with: velmaro-author check " << folder << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("which command?");
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--version") {
    std::cout << "velmaro-author " << kVersion << "\n";
    return 0;
  }
  if (command == "check") return Check(args);
  if (command == "preview") return Preview(args);
  if (command == "new") return New(args);
  return Usage("unknown command " + command);
}
