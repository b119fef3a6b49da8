#include "tools/author/check_engine.h"

#include <algorithm>
#include <tuple>

#include "tools/author/check_files.h"
#include "tools/author/check_lines.h"
#include "tools/author/check_run.h"

namespace {

// The lines findings and notes point into, as the program read them; none past a file's end.
void KeepSourceLines(FindingList& findings, CheckResult& result) {
  auto keep = [&](const std::string& file, long line) {
    auto read = findings.read.find(file);
    if (line <= 0 || read == findings.read.end() || line > static_cast<long>(read->second.size())) return;
    result.sourceLines[file][line] = ToUtf8(read->second[static_cast<std::size_t>(line - 1)]);
  };
  for (const Finding& f : result.findings) {
    keep(f.file, f.line);
    for (const FindingNote& n : f.notes)
      keep(n.file, n.line);
  }
}

// A finding on a menu.inf line whose fields shifted gets a note at the place the shift began.
void NoteShiftCauses(FindingList& findings, std::vector<Finding>& all) {
  const std::vector<Text>& lines = findings.read["menu.inf"];
  std::map<long, std::vector<FindingNote>> causes;
  for (Finding& f : all) {
    if (f.file != "menu.inf" || f.line < 1 || f.line > static_cast<long>(lines.size())) continue;
    auto known = causes.find(f.line);
    if (known == causes.end())
      known =
          causes
              .emplace(f.line, line_causes::ShiftCauses(lines[static_cast<std::size_t>(f.line - 1)], f.line))
              .first;
    for (const FindingNote& cause : known->second)
      if (cause.column < f.column) f.notes.insert(f.notes.begin(), cause);
  }
}

}  // namespace

CheckResult RunCheck(CheckHost& host, const CheckOptions& options) {
  CheckResult result;
  result.readable = true;
  FindingList findings;
  FileChecks files(host, findings, options);
  LogicRun run(host, findings, files, result);
  run.Kavo();
  run.Menu();
  files.Names();
  files.Autorun();
  NoteShiftCauses(findings, findings.all());
  result.findings = std::move(findings.all());
  std::stable_sort(result.findings.begin(), result.findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
  });
  KeepSourceLines(findings, result);
  return result;
}

int CheckResult::Count(Severity severity) const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [&](const Finding& f) { return f.severity == severity; }));
}

const std::map<std::string, std::string>& FindingCodes() {
  static const std::map<std::string, std::string> codes = {
      {"kavo-missing", "kavo.inf is missing: the program shows nothing"},
      {"startup-flags", "line 1 of kavo.inf does something other than it seems to say"},
      {"menu-missing", "menu.inf is missing while the menu is on"},
      {"page-stops", "a line stops its page: later links are not shown and no link lights up"},
      {"menu-unreadable", "menu.inf is there but cannot be read: the menu shows no link"},
      {"no-links", "the menu shows no link on its first page, or menu.inf holds none"},
      {"final-bar", "a line without its final bar: the program drops the argument's last character"},
      {"decimal-separator", "a number that reads differently with a decimal point and a decimal comma"},
      {"picture-huge", "a picture larger than any screen"},
      {"disc-link",
       "a symbolic link out of the disc or to nothing, or a FIFO or device: not on the burned disc"},
      {"utf8-guess", "a file without a mark read as UTF-8 because it happens to be valid UTF-8"},
      {"page-never-shown", "a line's page number is no page a link can show"},
      {"duplicate-link", "two lines set up the same link of a page; the later wins"},
      {"highlight-not-number", "a highlight colour that is not a number: the link stays unlit"},
      {"action-stores-nothing", "an action type outside 0 to 8 stores nothing"},
      {"action-never-runs", "a stored action the click cannot take apart"},
      {"page-target", "a page link whose target is no number or has no links"},
      {"page-unreachable", "a page that no link shows"},
      {"file-missing", "a file named by kavo.inf or a link is not on the disc"},
      {"case-only", "a file found only with other letter case"},
      {"not-wave", "a sound that is not a RIFF/WAVE file"},
      {"picture-format", "a picture in a format the program does not show"},
      {"picture-unreadable", "a picture that cannot be decoded"},
      {"link-outside", "a link whose box falls outside the menu picture"},
      {"link-overlap", "two links of a page overlap"},
      {"name-mangled", "a name the disc's file system would change"},
      {"autorun", "autorun.inf is missing or does not start the program"},
      {"exe-missing", "the program itself is not in the folder yet"},
      {"linux-start", "the Linux program or autorun.sh is on the disc without the other"},
      {"ansi-bytes", "an ANSI file with characters that read differently in other code pages"},
  };
  return codes;
}
