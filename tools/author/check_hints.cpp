// What the run adds to its verdicts for the author: the silent menus, the text to write instead of a field
// the program could not read, the final bar, quotes and near names of a missing program, and numbers that
// read by the user's decimal separator.
#include <algorithm>

#include "tools/author/check_lines.h"
#include "tools/author/check_run.h"
#include "tools/author/check_wording.h"
#include "tools/author/menu_line_fields.h"

using wording::Quote;
using wording::Utf8;

// What the author would otherwise learn only from an empty window.
void LogicRun::Silences() {
  if (!menuOn_ || stopsEverywhere_.count(0)) return;
  auto first = result_.pages.find(0);
  bool anyLine = std::any_of(lines_.begin(), lines_.end(), [](const MenuLine& l) { return !l.text.empty(); });
  if (!anyLine)
    findings_.Add("menu.inf", 0, 0, Severity::Error, "no-links",
                  "menu.inf holds no link: the menu shows its picture and nothing to click");
  else if (first == result_.pages.end() || (first->second.lightsUp && first->second.links.empty()))
    findings_.Add(
        "menu.inf", 0, 0, Severity::Error, "no-links",
        "page 0, the page the menu shows first, has no link: the menu shows its picture and nothing "
        "to click");
  if (outsideUnseen_ > 0) {
    // One bad picture, one finding: the links measured against the empty box it leaves say so there.
    for (Finding& f : findings_.all())
      if (f.file == "kavo.inf" && f.line == 4)
        f.message += "; " + wording::Count(outsideUnseen_, "link falls", "links fall") +
                     " outside that box and " + (outsideUnseen_ == 1 ? "is" : "are") + " cut off";
  }
}

// What to write instead of a field the program could not read.
void LogicRun::Explain(Finding& finding, int field, const Text& value) {
  if (field == 6 || field == 7) {
    if (std::optional<long> colour = line_causes::ColourMeant(value)) {
      finding.fix = std::to_string(*colour);
      finding.message += "; colours are decimal numbers: write " + finding.fix;
      return;
    }
  }
  bool whole = field != 8 && field != 9;
  if (auto difference = line_causes::SeparatorDifference(value, whole))
    finding.notes.push_back({finding.file, finding.line, finding.column, difference->words});
}

// The program takes the last character of an argument for its final bar and drops it.
void LogicRun::FinalBar(const MenuLine& l, int kind, const Text& argument, std::size_t findingsBefore) {
  bool takesArgument = kind == 0 || kind == 1 || kind == 2 || kind == 3 || kind == 5 || kind == 8;
  if (!takesArgument || !line_causes::LacksFinalBar(l.text)) return;
  long end = static_cast<long>(l.text.size()) + 1;
  std::string why =
      "the line has no final \"|\": the program drops the last character of the argument and uses " +
      Quote(argument) + "; add the final |";
  std::vector<Finding>& all = findings_.all();
  if (all.size() > findingsBefore) {
    for (std::size_t i = findingsBefore; i < all.size(); ++i)
      all[i].notes.push_back({"menu.inf", l.number, end, why});
    return;
  }
  findings_.Add("menu.inf", l.number, end, Severity::Warning, "final-bar", why).fix = "|";
}

// A launch command's file that is not on the disc: quotes the program keeps, or a near name.
void LogicRun::MissingProgram(Finding& finding, const Text& file) {
  if (line_causes::QuotedFile(file)) {
    Text bare = file;
    bare.erase(std::remove(bare.begin(), bare.end(), L'"'), bare.end());
    finding.message += "; the program takes the quotes as part of the name: remove the quotes";
    finding.fix = Utf8(bare);
    return;
  }
  files_.SuggestNear(finding, file);
}

// Numbers whose reading depends on the user's decimal separator, the first of a line.
void LogicRun::Separators(const MenuLine& l) {
  static const int kNumberFields[] = {1, 2, 6, 7, 8, 9, 10};
  for (int field : kNumberFields) {
    Text value = FieldText(l.text, field);
    bool whole = field != 8 && field != 9;
    auto difference = line_causes::SeparatorDifference(value, whole);
    if (!difference) continue;
    findings_.Add("menu.inf", l.number, FieldColumn(l.text, field),
                  difference->failsOnOne ? Severity::Error : Severity::Warning, "decimal-separator",
                  "the " + wording::FieldName(field) + " " + difference->words);
    return;
  }
}
