// velmaro-author's commands: check says what a disc will do and what is wrong with it, preview draws its
// pages, new writes a starter disc, explain documents a finding, set edits the two files. What they need of
// the system they run on is in tool_system.h.
#include "tools/author/commands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/author/check.h"
#include "tools/author/explain.h"
#include "tools/author/newdisc.h"
#include "tools/author/report.h"
#include "tools/author/tool_system.h"
#include "tools/author/version.h"

namespace {

// A usage text with its one blank filled in.
std::string Filled(const char* usage, const std::string& blank) {
  std::string text = usage;
  std::size_t at = text.find("%s");
  return at == std::string::npos ? text : text.replace(at, 2, blank);
}

const char* const kUsage =
    "usage: velmaro-author COMMAND ARGUMENTS\n"
    "\n"
    "  check DISC      what the disc will do and everything wrong with it, as a compiler reports\n"
    "  preview DISC    each page as a PNG, as the program lays it out\n"
    "  new DIR         a starter disc: every kind of link, nothing to complain about\n"
    "  explain CODE    what a finding means on the disc, how to fix it, an example\n"
    "  set DISC EDITS  edits fields of menu.inf and lines of kavo.inf, changing no other byte\n"
    "%s"
    "  --version       the tool's version\n"
    "  --help          this text\n"
    "\n"
    "velmaro-author COMMAND --help says what a command takes.\n";

const char* const kCheckUsage =
    "usage: velmaro-author check DISC [OPTIONS]\n"
    "\n"
    "Runs the program's own start-up, page loads and clicks over the folder DISC and reports what it will\n"
    "do and everything wrong with it, one finding a line with its place and code.\n"
    "\n"
    "  --format text|json|sarif  text for people (the default), JSON for scripts, SARIF 2.1.0 for code\n"
    "                            scanning; JSON and SARIF hold every finding\n"
    "  --codepage CP             read ANSI files as a Windows set to this code page does: %s\n"
    "  --ignore CODE,...         leave these findings out of the report and the exit status\n"
    "  --werror                  report warnings as errors, so that they fail the check\n"
    "  --max-findings N          stop the text report after N findings and count the rest (default 100;\n"
    "                            0: no limit)\n"
    "\n"
    "Exit status: 0 no errors (warnings and notes allowed), 1 errors, 2 a wrong command line or a folder\n"
    "that cannot be read. velmaro-author explain CODE documents a finding.\n";

const char* const kNewUsage =
    "usage: velmaro-author new DIR [--exe PATH] [--force]\n"
    "\n"
    "Writes a starter disc into DIR (made if missing): autorun.inf, kavo.inf, menu.inf, pictures, sounds\n"
    "and a document, showing every kind of link.\n"
    "\n"
    "  --exe PATH   the program to copy in as velmaro.exe (default: the one installed beside the tool)\n"
    "  --force      write into DIR even when it is not empty, replacing files of the same names\n"
    "\n"
    "Nothing is written unless every argument is right.\n";

const char* const kExplainUsage =
    "usage: velmaro-author explain [CODE]\n"
    "\n"
    "What the finding CODE means on the disc, how to fix it and an example; without CODE, every code.\n";

// The problem and the usage line; the command's --help says the rest.
int Usage(const std::string& problem, const char* usage = kUsage, const std::string& command = "") {
  std::string text = usage;
  std::cerr << "velmaro-author: " << problem << "\n"
            << text.substr(0, text.find('\n') + 1) << "velmaro-author " << command
            << (command.empty() ? "" : " ") << "--help says more\n";
  return 2;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

// "--option=value" is the same as "--option value".
std::vector<std::string> SplitOptions(const std::vector<std::string>& args) {
  std::vector<std::string> out;
  for (const std::string& a : args) {
    std::size_t equals = a.find('=');
    if (a.rfind("--", 0) == 0 && equals != std::string::npos) {
      out.push_back(a.substr(0, equals));
      out.push_back(a.substr(equals + 1));
    } else {
      out.push_back(a);
    }
  }
  return out;
}

std::string DidYouMean(const std::string& code) {
  std::string nearest = NearestCode(code);
  return nearest.empty() ? "" : " (did you mean \"" + nearest + "\"?)";
}

bool ParseCount(const std::string& s, std::size_t* value) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
  if (errno != 0 || v > INT_MAX) return false;
  *value = static_cast<std::size_t>(v);
  return true;
}

int Check(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << Filled(kCheckUsage, CodePageHelp());
    return 0;
  }
  std::string folder, format = "text";
  CheckOptions options;
  options.codePage = DefaultCodePage();
  ReportOptions report;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool more = i + 1 < args.size();
    if (a == "--format" && more) {
      format = args[++i];
      if (format != "text" && format != "json" && format != "sarif")
        return Usage("check: unknown format \"" + format + "\"; use text, json or sarif", kCheckUsage,
                     "check");
    } else if (a == "--codepage" && more) {
      options.codePage = KnownCodePage(args[++i]);
      if (options.codePage.empty())
        return Usage("check: no code page is called \"" + args[i] + "\" (try CP1251, CP932 or 1250)",
                     kCheckUsage, "check");
    } else if (a == "--ignore" && more) {
      std::string codes = args[++i] + ",";
      for (std::size_t start = 0, comma; (comma = codes.find(',', start)) != std::string::npos;
           start = comma + 1) {
        std::string code = codes.substr(start, comma - start);
        if (code.empty()) continue;
        if (!FindingCodes().count(code))
          return Usage("check: --ignore: no finding is called \"" + code + "\"" + DidYouMean(code) +
                           "; velmaro-author explain lists the codes",
                       kCheckUsage, "check");
        report.ignore.insert(code);
      }
    } else if (a == "--werror") {
      report.warningsAreErrors = true;
    } else if (a == "--max-findings" && more) {
      if (!ParseCount(args[++i], &report.maxFindings))
        return Usage("check: --max-findings takes a count (0: no limit)", kCheckUsage, "check");
    } else if (folder.empty() && a.rfind("--", 0) != 0) {
      folder = a;
    } else {
      return Usage("check: unexpected " + a, kCheckUsage, "check");
    }
  }
  if (folder.empty()) return Usage("check: which disc folder?", kCheckUsage, "check");
  CheckResult result = CheckDisc(folder, options);
  if (!result.readable) {
    std::cerr << "velmaro-author: cannot read the folder " << folder << "\n";
    return 2;
  }
  CheckResult reported = Reported(result, report);
  if (format == "json")
    WriteJson(std::cout, reported, folder);
  else if (format == "sarif")
    WriteSarif(std::cout, reported, folder);
  else
    WriteText(std::cout, reported, folder, report);
  return ExitStatus(reported);
}

int New(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << kNewUsage;
    return 0;
  }
  std::string folder, exe = InstalledExe();
  bool force = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--exe" && i + 1 < args.size())
      exe = args[++i];
    else if (args[i] == "--force")
      force = true;
    else if (folder.empty() && args[i].rfind("--", 0) != 0)
      folder = args[i];
    else
      return Usage("new: unexpected " + args[i], kNewUsage, "new");
  }
  if (folder.empty()) return Usage("new: which folder?", kNewUsage, "new");
  std::string error;
  if (!WriteStarterDisc(folder, exe, force, &error)) {
    std::cerr << "velmaro-author: new: " << error << "\n";
    return 1;
  }
  std::cout << "A starter disc is in " << folder << ".";
  if (exe.empty()) std::cout << " Copy velmaro.exe into it before you burn it.";
  std::cout << " Check it with: velmaro-author check " << folder << "\n";
  return 0;
}

int Explain(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << kExplainUsage;
    return 0;
  }
  if (args.size() > 1) return Usage("explain: one code at a time", kExplainUsage, "explain");
  if (args.empty()) {
    std::cout << "The findings of velmaro-author check; velmaro-author explain CODE says more:\n";
    WriteCodeList(std::cout);
    return 0;
  }
  const Explanation* explanation = FindExplanation(args[0]);
  if (!explanation) {
    std::cerr << "velmaro-author: explain: no finding is called \"" << args[0] << "\"" << DidYouMean(args[0])
              << "; the codes are:\n";
    WriteCodeList(std::cerr);
    return 2;
  }
  WriteExplanation(std::cout, *explanation);
  return 0;
}

}  // namespace

int RunAuthorTool(const std::vector<std::string>& words) {
  if (words.empty()) return Usage("which command?");
  std::string command = words[0];
  std::vector<std::string> args = SplitOptions(std::vector<std::string>(words.begin() + 1, words.end()));
  if (command == "--version") {
    std::cout << "velmaro-author " << kVersion << "\n";
    return 0;
  }
  if (command == "--help" || command == "-h" || command == "help") {
    // "help check" is "check --help".
    if (command == "help" && !args.empty() && args[0] != "help") {
      command = args[0];
      args = {"--help"};
    } else {
      std::cout << Filled(kUsage, DesignUsage());
      return 0;
    }
  }
  if (command == "check") return Check(args);
  if (command == "preview") return Preview(args);
  if (command == "new") return New(args);
  if (command == "explain") return Explain(args);
  if (command == "set") return Set(args);
  if (command == "design" && !DesignUsage().empty()) return Design(args);
  return Usage("unknown command " + command);
}
