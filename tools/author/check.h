// What a disc will do and what is wrong with it, found by running the program's own logic over the disc's
// folder on the headless platform: every verdict is the program's, and only the wording is the tool's.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

enum class Severity { Error, Warning, Note };

// A place that explains a finding, as a compiler's "note:" lines do: the real cause when fields shift, the
// line replaced, the text as it will show.
struct FindingNote {
  std::string file;
  long line = 0;
  long column = 0;
  std::string message;
};

struct Finding {
  std::string file;  // relative to the disc's root, with "/" between folders
  long line = 0;     // 1-based; 0 for the file as a whole
  long column = 0;   // 1-based, in characters; 0 for the whole line
  Severity severity = Severity::Warning;
  std::string code;  // stable, such as "page-stops"
  std::string message;
  std::vector<FindingNote> notes;
  std::string fix;  // what to write instead, when there is one thing to write ("16777215", "splash.png")
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
  std::map<int, PageVerdict> pages;              // every page that menu.inf names and a link could show
  std::map<std::string, std::string> encodings;  // per configuration file, what it was read as
  // Each line a finding or a note points into, decoded as the program decodes it (UTF-8), by file and line:
  // the reports print these and never read the disc again.
  std::map<std::string, std::map<long, std::string>> sourceLines;
  int Count(Severity severity) const;
};

struct CheckOptions {
  std::string codePage = "CP1252";  // the ANSI code page of the Windows the disc is tried on
  std::string exeName = "velmaro.exe";
};

inline CheckResult CheckDisc(const std::string& folder, const CheckOptions& options = {});
// Files of the disc's root by the name the program opens ("menu.inf"), with the bytes to read instead of
// what the folder holds: an editor's files before they are saved.
using GivenFiles = std::map<std::string, std::string>;
// The same check with those files read from memory; the folder is read for everything else.
inline CheckResult CheckDisc(const std::string& folder,
                             const GivenFiles& given,
                             const CheckOptions& options = {});

struct CheckMemory;
// Checks one after another, as an editor runs them after every edit: what stays the same between them is
// kept (each caption measured once per font, each picture decoded again only when its file's bytes
// changed). Every check finds exactly what CheckDisc finds.
class DiscChecker {
 public:
  DiscChecker();
  ~DiscChecker();
  CheckResult Check(const std::string& folder, const GivenFiles& given, const CheckOptions& options = {});

 private:
  std::unique_ptr<CheckMemory> kept_;
};

// Inline, so that they link wherever the platform's DiscChecker::Check does: the checker's memory lives in
// velmaro_check, which the platform's check links after itself.
inline CheckResult CheckDisc(const std::string& folder,
                             const GivenFiles& given,
                             const CheckOptions& options) {
  return DiscChecker().Check(folder, given, options);
}

inline CheckResult CheckDisc(const std::string& folder, const CheckOptions& options) {
  return CheckDisc(folder, GivenFiles(), options);
}

// A short description of each finding code, for SARIF's rules and the README.
const std::map<std::string, std::string>& FindingCodes();
