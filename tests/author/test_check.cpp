// check on the starter disc and on broken discs, one mistake each: exactly one finding, at the place an
// editor must jump to.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "disc_folder.h"
#include "tools/author/check.h"

namespace {

// Three links whose fields an author can count: the columns below are where their fields start.
const std::string kInstall = "0|0|Install|Verdana|1012|16777215|65535|900|600|0|tools\\hello.cmd -x|";
const std::string kReadMe = "0|1|Read me|Verdana|0012|16777215|65535|900|1200|3|docs\\readme.txt|";
const std::string kQuit = "0|2|Quit|Verdana|0012|16777215|65535|900|1800|6|";

std::string Describe(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings)
    out += "\n  " + f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + " [" + f.code +
           "] " + f.message;
  return out;
}

TEST(Check, TheStarterDiscAndTheSampleDiscHaveNoFinding) {
  DiscFolder starter;
  CheckResult result = CheckDisc(starter.path());
  EXPECT_TRUE(result.findings.empty()) << Describe(result.findings);
  EXPECT_EQ(result.startup, "shows the splash, then the menu; launches nothing");
  ASSERT_EQ(result.pages.size(), 2u);
  EXPECT_TRUE(result.pages[0].lightsUp);
  EXPECT_EQ(result.pages[0].links.size(), 9u);

  // The sample disc as the repository holds it, with the program beside it as on a real disc.
  DiscFolder sample;
  std::filesystem::remove_all(sample.path());
  std::filesystem::copy(VELMARO_SOURCE_DIR "/disc", sample.path(), std::filesystem::copy_options::recursive);
  sample.Write("velmaro.exe", "MZ");
  result = CheckDisc(sample.path());
  // Its Russian page is UTF-8 without a mark: a note says how it reads.
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_EQ(result.findings[0].code, "utf8-guess");
  EXPECT_EQ(result.findings[0].severity, Severity::Note);
}

struct Broken {
  const char* mistake;
  std::function<void(const DiscFolder&)> make;
  Finding expected;  // file, line, column, severity, code
};

void Menu(const DiscFolder& d, std::vector<std::string> extra, int replace = -1) {
  std::vector<std::string> lines = {kInstall, kReadMe, kQuit};
  if (replace >= 0) {
    lines[static_cast<std::size_t>(replace)] = extra.front();
    extra.erase(extra.begin());
  }
  lines.insert(lines.end(), extra.begin(), extra.end());
  d.Lines("menu.inf", lines);
}

void Kavo(const DiscFolder& d,
          const std::string& line1,
          const std::string& line3 = "",
          const std::string& picture = "images\\menu.png",
          const std::string& sound = "sounds\\intro.wav") {
  d.Lines("kavo.inf", {line1, "images\\splash.png", line3, picture, sound, "sounds\\over.wav"});
}

const Broken kBroken[] = {
    {"kavo.inf missing",
     [](const DiscFolder& d) { d.Remove("kavo.inf"); },
     {"kavo.inf", 0, 0, Severity::Error, "kavo-missing", "", {}, {}}},
    {"line 1 \"10\": the menu flag is the last character",
     [](const DiscFolder& d) { Kavo(d, "10"); },
     {"kavo.inf", 1, 1, Severity::Warning, "startup-flags", "", {}, {}}},
    {"the single file to launch is missing",
     [](const DiscFolder& d) { Kavo(d, "111", "setup.exe -s"); },
     {"kavo.inf", 3, 1, Severity::Error, "file-missing", "", {}, {}}},
    {"the menu picture is in a format the program does not show",
     [](const DiscFolder& d) {
       d.Write("images/menu.pnm", "P6\n2 2\n255\n" + std::string(12, '\x40'));
       Kavo(d, "101", "", "images\\menu.pnm");
       Menu(d, {});  // links that fit the empty box shown instead
     },
     {"kavo.inf", 4, 1, Severity::Error, "picture-format", "", {}, {}}},
    {"the menu picture is cut off",
     [](const DiscFolder& d) {
       std::ifstream in(d.path() + "/images/menu.png", std::ios::binary);
       std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
       d.Write("images/cut.png", bytes.substr(0, bytes.size() / 2));
       Kavo(d, "101", "", "images\\cut.png");
       Menu(d, {});
     },
     {"kavo.inf", 4, 1, Severity::Error, "picture-unreadable", "", {}, {}}},
    {"the background sound is missing",
     [](const DiscFolder& d) { Kavo(d, "101", "", "images\\menu.png", "a.wav"); },
     {"kavo.inf", 5, 1, Severity::Error, "file-missing", "", {}, {}}},
    {"the background sound is no WAV",
     [](const DiscFolder& d) { Kavo(d, "101", "", "images\\menu.png", "docs\\readme.txt"); },
     {"kavo.inf", 5, 1, Severity::Warning, "not-wave", "", {}, {}}},
    {"menu.inf missing",
     [](const DiscFolder& d) { d.Remove("menu.inf"); },
     {"menu.inf", 0, 0, Severity::Error, "menu-missing", "", {}, {}}},
    {"link index 50 stops the page",
     [](const DiscFolder& d) {
       Menu(d, {"0|50|Read me|Verdana|0012|16777215|65535|900|1200|3|docs\\readme.txt|"}, 1);
     },
     {"menu.inf", 2, 3, Severity::Error, "page-stops", "", {}, {}}},
    {"a style without a size stops the page",
     [](const DiscFolder& d) {
       Menu(d, {"0|1|Read me|Verdana|10|16777215|65535|900|1200|3|docs\\readme.txt|"}, 1);
     },
     {"menu.inf", 2, 21, Severity::Error, "page-stops", "", {}, {}}},
    {"a page field that is no number stops every page",
     [](const DiscFolder& d) { Menu(d, {"zero|3|x|"}); },
     {"menu.inf", 4, 1, Severity::Error, "page-stops", "", {}, {}}},
    {"a page of half a page number",
     [](const DiscFolder& d) { Menu(d, {"0.5|3|x|Verdana|0012|255|65535|0|0|7|"}); },
     {"menu.inf", 4, 1, Severity::Warning, "page-never-shown", "", {}, {}}},
    {"link 1 set up twice",
     [](const DiscFolder& d) { Menu(d, {"0|1|Again|Verdana|0012|255|65535|900|2400|7|"}); },
     {"menu.inf", 4, 3, Severity::Warning, "duplicate-link", "", {}, {}}},
    {"a highlight colour that is no number",
     [](const DiscFolder& d) {
       Menu(d, {"0|1|Read me|Verdana|0012|16777215|white|900|1200|3|docs\\readme.txt|"}, 1);
     },
     {"menu.inf", 2, 35, Severity::Warning, "highlight-not-number", "", {}, {}}},
    {"action type 9 stores nothing",
     [](const DiscFolder& d) { Menu(d, {"0|2|Quit|Verdana|0012|16777215|65535|900|1800|9|"}, 2); },
     {"menu.inf", 3, 47, Severity::Warning, "action-stores-nothing", "", {}, {}}},
    {"action type 06 can never run",
     [](const DiscFolder& d) { Menu(d, {"0|2|Quit|Verdana|0012|16777215|65535|900|1800|06|"}, 2); },
     {"menu.inf", 3, 47, Severity::Error, "action-never-runs", "", {}, {}}},
    {"a page link to no number",
     [](const DiscFolder& d) { Menu(d, {"0|2|More|Verdana|0012|16777215|65535|900|1800|5|x|"}, 2); },
     {"menu.inf", 3, 49, Severity::Error, "page-target", "", {}, {}}},
    {"a page no link leads to",
     [](const DiscFolder& d) { Menu(d, {"1|0|Lost|Verdana|0012|255|65535|900|600|7|"}); },
     {"menu.inf", 4, 1, Severity::Warning, "page-unreachable", "", {}, {}}},
    {"a program link to a missing program",
     [](const DiscFolder& d) {
       Menu(d, {"0|0|Install|Verdana|1012|16777215|65535|900|600|0|tools\\gone.cmd -x|"}, 0);
     },
     {"menu.inf", 1, 51, Severity::Error, "file-missing", "", {}, {}}},
    {"a document there only in other letter case",
     [](const DiscFolder& d) {
       Menu(d, {"0|1|Read me|Verdana|0012|16777215|65535|900|1200|3|docs\\README.TXT|"}, 1);
     },
     {"menu.inf", 2, 52, Severity::Warning, "case-only", "", {}, {}}},
    {"a sound link to a file that is no WAV",
     [](const DiscFolder& d) {
       Menu(d, {"0|1|Read me|Verdana|0012|16777215|65535|900|1200|8|docs\\readme.txt|"}, 1);
     },
     {"menu.inf", 2, 52, Severity::Warning, "not-wave", "", {}, {}}},
    {"a link beyond the right edge of the picture",
     [](const DiscFolder& d) { Menu(d, {"0|3|Far|Verdana|0012|255|65535|9500|2400|7|"}); },
     {"menu.inf", 4, 32, Severity::Warning, "link-outside", "", {}, {}}},
    {"a link on top of another",
     [](const DiscFolder& d) { Menu(d, {"0|3|Over|Verdana|0012|255|65535|900|600|7|"}); },
     {"menu.inf", 4, 33, Severity::Warning, "link-overlap", "", {}, {}}},
    {"a name too long for a disc",
     [](const DiscFolder& d) { d.Write("docs/" + std::string(70, 'n') + ".txt", ""); },
     {"docs/" + std::string(70, 'n') + ".txt", 0, 0, Severity::Warning, "name-mangled", "", {}, {}}},
    {"a name with a colon",
     [](const DiscFolder& d) { d.Write("docs/a:b.txt", ""); },
     {"docs/a:b.txt", 0, 0, Severity::Warning, "name-mangled", "", {}, {}}},
    {"autorun.inf missing",
     [](const DiscFolder& d) { d.Remove("autorun.inf"); },
     {"autorun.inf", 0, 0, Severity::Warning, "autorun", "", {}, {}}},
    {"autorun.inf opens another program",
     [](const DiscFolder& d) {
       d.Lines("autorun.inf", {"[autorun]", "open=tools\\hello.cmd", "icon=velmaro.exe,0"});
     },
     {"autorun.inf", 2, 1, Severity::Error, "autorun", "", {}, {}}},
    {"the program is not in the folder yet",
     [](const DiscFolder& d) { d.Remove("velmaro.exe"); },
     {"autorun.inf", 2, 1, Severity::Note, "exe-missing", "", {}, {}}},
    {"the Linux program without autorun.sh",
     [](const DiscFolder& d) {
       d.Write("velmaro",
               "\x7f"
               "ELF");
     },
     {"velmaro", 0, 0, Severity::Warning, "linux-start", "", {}, {}}},
    {"autorun.sh without the Linux program",
     [](const DiscFolder& d) { d.Write("AUTORUN.SH", "#!/bin/sh\n"); },
     {"autorun.sh", 0, 0, Severity::Warning, "linux-start", "", {}, {}}},
};

TEST(Check, EachMistakeIsFoundOnceWhereItIs) {
  for (const Broken& b : kBroken) {
    DiscFolder disc;
    b.make(disc);
    CheckResult result = CheckDisc(disc.path());
    ASSERT_EQ(result.findings.size(), 1u) << b.mistake << Describe(result.findings);
    const Finding& f = result.findings[0];
    const Finding& e = b.expected;
    EXPECT_EQ(f.code, e.code) << b.mistake << Describe(result.findings);
    EXPECT_EQ(f.file, e.file) << b.mistake;
    EXPECT_EQ(f.line, e.line) << b.mistake;
    EXPECT_EQ(f.column, e.column) << b.mistake << Describe(result.findings);
    EXPECT_EQ(f.severity, e.severity) << b.mistake;
    EXPECT_FALSE(f.message.empty());
  }
}

// What the messages say, where the words carry the verdict.
TEST(Check, MessagesSayWhatTheUserMeets) {
  DiscFolder disc;
  Menu(disc,
       {"0|50|Read me|Verdana|0012|16777215|65535|900|1200|3|docs\\readme.txt|",
        "0|0|Install|Verdana|1012|16777215|65535|900|600|0|tools\\gone.cmd -x|"},
       1);
  CheckResult result = CheckDisc(disc.path());
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_EQ(
      result.findings[0].message,
      "the link index \"50\" names no link; links are 0 to 49; page 0 stops here: link 2 is not shown and "
      "no link of page 0 lights up");
  EXPECT_FALSE(result.pages[0].lightsUp);
  EXPECT_EQ(result.pages[0].links, std::vector<int>{0});

  Menu(disc, {"0|0|Install|Verdana|1012|16777215|65535|900|600|0|tools\\gone.cmd -x|"}, 0);
  result = CheckDisc(disc.path());
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_NE(
      result.findings[0].message.find("the user sees \"You told Velmaro that you wanted to launch the file "
                                      "cdDrive:\\tools\\gone.cmd"),
      std::string::npos)
      << result.findings[0].message;
}

TEST(Check, AFolderThatCannotBeReadIsNoDisc) {
  EXPECT_FALSE(CheckDisc("/nonexistent/velmaro").readable);
}

}  // namespace

namespace {

TEST(Check, SaysWhatEachFileWasReadAs) {
  DiscFolder disc;
  disc.Write("menu.inf",
             "\xEF\xBB\xBF"
             "0|0|\xD0\xA3|Verdana|0012|255|65535|900|600|7|\r\n");
  disc.Write("kavo.inf", "101\r\nimages\\splash.png\r\n\r\nimages\\menu.png\r\n\r\n\r\n");
  CheckResult result = CheckDisc(disc.path());
  EXPECT_EQ(result.encodings["menu.inf"], "UTF-8 with a mark");
  EXPECT_EQ(result.encodings["kavo.inf"], "ANSI (CP1252)");
  disc.Write("menu.inf", "0|0|\xD0\xA3|Verdana|0012|255|65535|900|600|7|\r\n");
  result = CheckDisc(disc.path());
  EXPECT_EQ(result.encodings["menu.inf"], "UTF-8");
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_EQ(result.findings[0].code, "utf8-guess");
  EXPECT_NE(result.findings[0].message.find("\"\xD0\xA3\""), std::string::npos) << result.findings[0].message;
}

}  // namespace
