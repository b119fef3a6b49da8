// check's reports from a given result: the source lines and carets under findings, notes and fixes as a
// compiler writes them, the limit on findings, and the JSON and SARIF fields.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/author/explain.h"
#include "tools/author/report.h"
#include "tools/author/snippet.h"

namespace {

struct Shown {
  const char* what;
  std::string line;
  long column;
  std::string expected;  // the snippet without its two-blank indent
};

const Shown kShown[] = {
    {"plain ASCII", "0|50|x|", 3, "0|50|x|\n  ^\n"},
    {"a tab expands to the next stop of 8 and the caret follows it", "0\t|x|", 3, "0       |x|\n        ^\n"},
    {"two tabs", "\t\tab", 3, "                ab\n                ^\n"},
    {"a control character is spelled out", "0|\x1B[31m|x", 4, "0|<U+001B>[31m|x\n          ^\n"},
    {"a direction override cannot reorder the line",
     "a\xE2\x80\xAE"
     "b|",
     3, "a<U+202E>b|\n         ^\n"},
    {"accented letters are one column each", "0|\xC3\xA9t\xC3\xA9|x", 6, "0|\xC3\xA9t\xC3\xA9|x\n     ^\n"},
    {"wide characters take two cells", "\xE6\x97\xA5\xE6\x9C\xAC|x", 3,
     "\xE6\x97\xA5\xE6\x9C\xAC|x\n    ^\n"},
    {"just past the end, where a missing final bar goes", "0|1|x", 6, "0|1|x\n     ^\n"},
    {"far past the end stays just past it", "ab", 40, "ab\n  ^\n"},
    {"a byte that is no UTF-8 is one replacement character",
     "a\xFF"
     "b",
     3,
     "a\xEF\xBF\xBD"
     "b\n  ^\n"},
};

TEST(Snippet, TheCaretStaysUnderItsCharacter) {
  for (const Shown& s : kShown) {
    std::string rendered = Snippet(s.line).Render(s.column);
    std::string expected = "  " + s.expected.substr(0, s.expected.find('\n') + 1) + "  " +
                           s.expected.substr(s.expected.find('\n') + 1);
    EXPECT_EQ(rendered, expected) << s.what;
  }
}

TEST(Snippet, AFixGoesUnderTheCaret) {
  EXPECT_EQ(Snippet("0|0|A|Verdana|0012|#FFFFFF|").Render(20, "16777215"),
            "  0|0|A|Verdana|0012|#FFFFFF|\n                     ^\n                     16777215\n");
}

TEST(Snippet, AVeryLongLineIsCutAroundTheCaret) {
  std::string line = std::string(5000, 'a') + "X" + std::string(5000, 'b');
  std::string rendered = Snippet(line).Render(5001);
  std::string shown = rendered.substr(0, rendered.find('\n'));
  std::string caret = rendered.substr(rendered.find('\n') + 1);
  EXPECT_LE(shown.size(), 2 + 3 + Snippet::kMaxCells + 3);
  EXPECT_EQ(shown.substr(0, 5), "  ...");
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_EQ(shown[caret.find('^')], 'X');
}

TEST(Printable, NamesAndMessagesCannotDriveTheTerminal) {
  EXPECT_EQ(Printable("docs/r\xE9sum\xE9.txt"), "docs/r\\xE9sum\\xE9.txt");
  EXPECT_EQ(Printable("a\x1B]0;title\x07"
                      "b"),
            "a<U+001B>]0;title<U+0007>b");
  EXPECT_EQ(Printable("caf\xC3\xA9"), "caf\xC3\xA9");
}

// A page that stops at a caption with a bar: the finding, a note at the real cause, and a fix.
CheckResult Shifted() {
  CheckResult r;
  r.readable = true;
  r.startup = "shows the menu; launches nothing";
  r.encodings["menu.inf"] = "UTF-8";
  Finding f{"menu.inf", 2, 16, Severity::Error, "page-stops", "the style \"Tahoma\" is not a number", {}, ""};
  f.notes.push_back({"menu.inf", 2, 8, "the caption holds a bar here, which ends the field"});
  f.notes.push_back({"menu.inf", 9, 1, "a note past the file's end has no source line"});
  r.findings.push_back(f);
  r.findings.push_back(
      {"menu.inf", 3, 20, Severity::Warning, "highlight-not-number", "the colour \"#FFFF00\"", {}, "65535"});
  r.sourceLines["menu.inf"][2] = "0|1|Tom|Jerry|Tahoma|0012|";
  r.sourceLines["menu.inf"][3] = "0|2|B|Verdana|0012|#FFFF00|";
  return r;
}

TEST(Report, TextWritesNotesAndFixesAsACompilerDoes) {
  std::ostringstream out;
  WriteText(out, Shifted(), "mydisc");
  EXPECT_EQ(
      out.str(),
      "menu.inf:2:16: error: the style \"Tahoma\" is not a number [page-stops]\n"
      "  0|1|Tom|Jerry|Tahoma|0012|\n"
      "                 ^\n"
      "menu.inf:2:8: note: the caption holds a bar here, which ends the field\n"
      "  0|1|Tom|Jerry|Tahoma|0012|\n"
      "         ^\n"
      "menu.inf:9:1: note: a note past the file's end has no source line\n"
      "menu.inf:3:20: warning: the colour \"#FFFF00\" [highlight-not-number]\n"
      "  0|2|B|Verdana|0012|#FFFF00|\n"
      "                     ^\n"
      "                     65535\n"
      "mydisc: 1 error, 1 warning, 0 notes; kavo.inf shows the menu; launches nothing; menu.inf read as "
      "UTF-8\n");
}

TEST(Report, TextStopsAfterTheLimitAndCountsTheRest) {
  CheckResult r;
  r.readable = true;
  for (long line = 1; line <= 250; ++line)
    r.findings.push_back({"menu.inf", line, 3, Severity::Warning, "duplicate-link", "again", {}, ""});
  struct Limit {
    std::size_t max;
    std::size_t shown;
  };
  for (Limit limit : {Limit{100, 100}, Limit{1, 1}, Limit{0, 250}, Limit{250, 250}, Limit{300, 250}}) {
    ReportOptions options;
    options.maxFindings = limit.max;
    std::ostringstream out;
    WriteText(out, r, "d", options);
    std::string text = out.str();
    std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    bool cut = limit.shown < 250;
    EXPECT_EQ(lines, limit.shown + 1 + (cut ? 1 : 0)) << limit.max;
    EXPECT_EQ(text.find("more finding") != std::string::npos, cut) << limit.max;
    EXPECT_NE(text.find("d: 0 errors, 250 warnings"), std::string::npos) << limit.max;
  }
}

TEST(Report, IgnoredCodesAndWerrorChangeWhatCountsAndTheStatus) {
  CheckResult r = Shifted();
  EXPECT_EQ(ExitStatus(Reported(r, {})), 1);
  ReportOptions options;
  options.ignore = {"page-stops"};
  EXPECT_EQ(ExitStatus(Reported(r, options)), 0);
  EXPECT_EQ(Reported(r, options).findings.size(), 1u);
  options.warningsAreErrors = true;
  CheckResult reported = Reported(r, options);
  EXPECT_EQ(ExitStatus(reported), 1);
  EXPECT_EQ(reported.Count(Severity::Error), 1);
  EXPECT_EQ(reported.Count(Severity::Warning), 0);
}

TEST(Report, JsonHoldsNotesAndTheFix) {
  std::ostringstream out;
  WriteJson(out, Shifted(), "mydisc");
  nlohmann::json j = nlohmann::json::parse(out.str());
  const auto& stops = j["findings"][0];
  ASSERT_EQ(stops["notes"].size(), 2u);
  EXPECT_EQ(stops["notes"][0],
            (nlohmann::json{{"file", "menu.inf"},
                            {"line", 2},
                            {"column", 8},
                            {"message", "the caption holds a bar here, which ends the field"}}));
  EXPECT_FALSE(stops.contains("fix"));
  EXPECT_EQ(j["findings"][1]["fix"], "65535");
  EXPECT_TRUE(j["findings"][1]["notes"].empty());
}

TEST(Report, SarifNotesAreRelatedLocationsAndUrisAreEncoded) {
  CheckResult r = Shifted();
  r.findings[1].file = "images/my menu #2?100%\xC3\xA9.png";
  std::ostringstream out;
  WriteSarif(out, r, "mydisc");
  nlohmann::json result = nlohmann::json::parse(out.str())["runs"][0]["results"];
  const auto& related = result[0]["relatedLocations"];
  ASSERT_EQ(related.size(), 2u);
  EXPECT_EQ(related[0]["physicalLocation"]["region"]["startColumn"], 8);
  EXPECT_EQ(related[0]["message"]["text"], "the caption holds a bar here, which ends the field");
  EXPECT_EQ(related[1]["physicalLocation"]["region"]["startLine"], 9);
  EXPECT_EQ(result[1]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
            "images/my%20menu%20%232%3F100%25%C3%A9.png");
  EXPECT_NE(result[1]["message"]["text"].get<std::string>().find("write \"65535\""), std::string::npos);
  nlohmann::json log = nlohmann::json::parse(out.str());
  for (const auto& rule : log["runs"][0]["tool"]["driver"]["rules"])
    EXPECT_NE(rule.value(nlohmann::json::json_pointer("/help/text"), std::string()).find("Example:"),
              std::string::npos)
        << rule["id"];
}

// A new code cannot ship undocumented: explain must know every code check reports.
TEST(Explain, EveryFindingCodeIsExplained) {
  for (const auto& [code, description] : FindingCodes()) {
    const Explanation* e = FindExplanation(code);
    ASSERT_NE(e, nullptr) << code << " has no explanation in tools/author/explain.cpp";
    EXPECT_GT(std::string(e->meaning).size(), 40u) << code;
    EXPECT_GT(std::string(e->fix).size(), 20u) << code;
    EXPECT_FALSE(std::string(e->example).empty()) << code;
  }
  EXPECT_EQ(FindExplanation("no-such-code"), nullptr);
}

}  // namespace
