// What a disc will do and what is wrong with it, found by running the program's own logic over the disc's
// folder on the headless platform: every verdict is the program's, and only the wording is the tool's.
#pragma once

#include <map>
#include <string>
#include <vector>

enum class Severity { Error, Warning, Note };

struct Finding {
  std::string file;  // relative to the disc's root, with "/" between folders
  long line = 0;     // 1-based; 0 for the file as a whole
  long column = 0;   // 1-based, in characters; 0 for the whole line
  Severity severity = Severity::Warning;
  std::string code;  // stable, such as "page-stops"
  std::string message;
};

// One page as the program shows it when it is loaded.
struct PageVerdict {
  std::vector<int> links;  // the links shown, by index
  bool lightsUp = false;   // the load ran to the end, so links light up under the pointer
};

struct CheckResult {
  bool readable = false;  // the folder could be read at all
  std::string startup;    // what line 1 of kavo.inf makes the program do
  std::vector<Finding> findings;
  std::map<int, PageVerdict> pages;    // every page that menu.inf names and a link could show
  std::map<std::string, std::string> encodings;  // per configuration file, what it was read as
  int Count(Severity severity) const;
};

struct CheckOptions {
  std::string codePage = "CP1252";  // the ANSI code page of the Windows the disc is tried on
  std::string exeName = "velmaro.exe";
};

CheckResult CheckDisc(const std::string& folder, const CheckOptions& options = {});

// A short description of each finding code, for SARIF's rules and the README.
const std::map<std::string, std::string>& FindingCodes();
