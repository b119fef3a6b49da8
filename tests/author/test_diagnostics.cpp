// What check says where a mistake's cause is not where the program stops: a note at the real cause, the text
// to write instead, and silent failures said as errors. One broken disc a hint.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "disc_folder.h"
#include "tools/author/check.h"

namespace {

struct Hint {
  const char* mistake;
  std::function<void(const DiscFolder&)> make;
  std::string code;
  long line, column;
  Severity severity;
  std::string inMessage;  // a fragment of the message
  long noteColumn;        // 0: no note expected
  std::string inNote;
  std::string fix;
};

std::string Describe(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings) {
    out += "\n  " + f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + " [" + f.code +
           "] " + f.message + (f.fix.empty() ? "" : " fix: " + f.fix);
    for (const FindingNote& n : f.notes)
      out += "\n    note " + std::to_string(n.line) + ":" + std::to_string(n.column) + " " + n.message;
  }
  return out;
}

void MenuLine(const DiscFolder& d, const std::string& line) {
  d.Lines("menu.inf", {line});
}

const std::string kTail = "|16777215|65535|900|1200|3|docs\\readme.txt|";

const Hint kHints[] = {
    {"a bar inside a caption",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Fish | Chips|Verdana|0012" + kTail); }, "page-stops", 1, 18,
     Severity::Error, "style \"Verdana\"", 10, "ends the caption early", ""},
    {"a tab where a bar belongs",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me\tVerdana|0012" + kTail); }, "page-stops", 1, 52,
     Severity::Error, "action type", 12, "a tab stands where a \"|\" belongs", ""},
    {"a missing final bar on a document",
     [](const DiscFolder& d) {
       MenuLine(d, "0|1|Read me|Verdana|0012|16777215|65535|900|1200|3|docs\\readme.txt");
     },
     "file-missing", 1, 52, Severity::Error, "\"docs\\readme.tx\" is missing", 67, "add the final |",
     "docs\\readme.txt"},
    {"a missing final bar on a web address",
     [](const DiscFolder& d) {
       MenuLine(d, "0|1|Visit|Verdana|0012|16777215|65535|900|1200|1|https://example.org/");
     },
     "final-bar", 1, 70, Severity::Warning, "uses \"https://example.org\"; add the final |", 0, "", "|"},
    {"a colour written 0xFFFFFF",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me|Verdana|0012|0xFFFFFF|65535|900|1200|7|"); },
     "page-stops", 1, 26, Severity::Error, "write 16777215", 0, "", "16777215"},
    {"a colour written #0000FF, red green blue",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me|Verdana|0012|#0000FF|65535|900|1200|7|"); },
     "page-stops", 1, 26, Severity::Error, "write 16711680", 0, "", "16711680"},
    {"a highlight written &H00FFFF&",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me|Verdana|0012|16777215|&H00FFFF&|900|1200|7|"); },
     "highlight-not-number", 1, 35, Severity::Warning, "write 65535", 0, "", "65535"},
    {"a launch command in quotes",
     [](const DiscFolder& d) {
       MenuLine(d, "0|1|Install|Verdana|0012|16777215|65535|900|1200|0|\"tools\\hello.cmd\" -x|");
     },
     "file-missing", 1, 52, Severity::Error, "remove the quotes", 0, "", "tools\\hello.cmd"},
    {"a splash picture with another extension on the disc",
     [](const DiscFolder& d) {
       d.Lines("kavo.inf", {"101", "images\\splash.jpg", "", "images\\menu.png", "", ""});
     },
     "file-missing", 2, 1, Severity::Error, "splash.jpg", 1, "did you mean \"images\\splash.png\"?",
     "images\\splash.png"},
    {"a sound a letter away",
     [](const DiscFolder& d) {
       d.Lines("kavo.inf", {"101", "images\\splash.png", "", "images\\menu.png", "sounds\\intr.wav", ""});
     },
     "file-missing", 5, 1, Severity::Error, "intr.wav", 1, "did you mean \"sounds\\intro.wav\"?",
     "sounds\\intro.wav"},
    {"an empty menu.inf", [](const DiscFolder& d) { d.Write("menu.inf", ""); }, "no-links", 0, 0,
     Severity::Error, "holds no link", 0, "", ""},
    {"no link on page 0",
     [](const DiscFolder& d) { MenuLine(d, "1|1|Read me|Verdana|0012|16777215|65535|900|1200|7|"); },
     "no-links", 0, 0, Severity::Error, "page 0", 0, "", ""},
    {"a kavo.inf that is only a mark", [](const DiscFolder& d) { d.Write("kavo.inf", "\xEF\xBB\xBF"); },
     "startup-flags", 1, 1, Severity::Error, "shows nothing", 0, "", ""},
    {"a whole number with a decimal point",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me|Verdana|0012|255.0|65535|900|1200|7|"); },
     "decimal-separator", 1, 26, Severity::Error,
     "reads as 255 on a Windows that writes numbers with a decimal point", 0, "", ""},
    {"a position with a decimal point",
     [](const DiscFolder& d) { MenuLine(d, "0|1|Read me|Verdana|0012|255|65535|900.5|1200|7|"); },
     "decimal-separator", 1, 36, Severity::Error, "is no number on one that writes them with a decimal comma",
     0, "", ""},
    {"a link index with a decimal comma",
     [](const DiscFolder& d) { MenuLine(d, "0|1,0|Read me|Verdana|0012|255|65535|900|1200|7|"); },
     "page-stops", 1, 3, Severity::Error, "link index", 3,
     "reads as 1 on one that writes them with a decimal comma", ""},
};

TEST(Diagnostics, EachHintIsGivenWhereTheCauseIs) {
  for (const Hint& h : kHints) {
    DiscFolder disc;
    h.make(disc);
    CheckResult result = CheckDisc(disc.path());
    const Finding* found = nullptr;
    for (const Finding& f : result.findings)
      if (f.code == h.code && f.line == h.line) found = &f;
    ASSERT_NE(found, nullptr) << h.mistake << Describe(result.findings);
    EXPECT_EQ(found->column, h.column) << h.mistake << Describe(result.findings);
    EXPECT_EQ(found->severity, h.severity) << h.mistake;
    EXPECT_NE(found->message.find(h.inMessage), std::string::npos) << h.mistake << ": " << found->message;
    EXPECT_EQ(found->fix, h.fix) << h.mistake << Describe(result.findings);
    if (h.noteColumn == 0) continue;
    bool noted = false;
    for (const FindingNote& n : found->notes)
      noted |= n.column == h.noteColumn && n.message.find(h.inNote) != std::string::npos;
    EXPECT_TRUE(noted) << h.mistake << Describe(result.findings);
  }
}

// One picture that does not show is one finding, however many links are measured against the box it leaves.
TEST(Diagnostics, ABadMenuPictureIsOneFinding) {
  DiscFolder disc;
  disc.Lines("kavo.inf", {"101", "images\\splash.png", "", "images\\gone.png", "", ""});
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i)
    lines.push_back("0|" + std::to_string(i) + "|Link|Verdana|0012|255|65535|6000|" +
                    std::to_string(600 * i) + "|7|");
  disc.Lines("menu.inf", lines);
  CheckResult result = CheckDisc(disc.path());
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_NE(result.findings[0].message.find("6 links fall outside that box"), std::string::npos)
      << result.findings[0].message;
}

// A picture wider than any screen is said once, however it is used.
TEST(Diagnostics, APictureLargerThanAnyScreenIsSaid) {
  DiscFolder disc;
  GdkPixbuf* wide = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 8000, 2);
  gdk_pixbuf_fill(wide, 0x204060ff);
  ASSERT_TRUE(gdk_pixbuf_save(wide, (disc.path() + "/images/wide.png").c_str(), "png", nullptr, nullptr));
  g_object_unref(wide);
  disc.Lines("kavo.inf", {"101", "images\\wide.png", "", "images\\menu.png", "", ""});
  CheckResult result = CheckDisc(disc.path());
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_EQ(result.findings[0].code, "picture-huge");
  EXPECT_NE(result.findings[0].message.find("8000 x 2 pixels"), std::string::npos)
      << result.findings[0].message;
}

// Lines end where the program ends them, and the source line shown is that line alone.
TEST(Diagnostics, LinesEndAtCrLfOrCrAlone) {
  for (const std::string end : {"\r", "\n", "\r\n"}) {
    DiscFolder disc;
    disc.Write("menu.inf", "0|0|A|Verdana|0012|255|65535|900|600|7|" + end +
                               "0|1|B|Verdana|0012|255|65535|900|1200|7|" + end + "0|2|C|Verdana|x|255|" +
                               end);
    CheckResult result = CheckDisc(disc.path());
    ASSERT_FALSE(result.findings.empty());
    const Finding& f = result.findings[0];
    EXPECT_EQ(f.line, 3);
    EXPECT_EQ(f.column, 15);
    EXPECT_EQ(result.sourceLines["menu.inf"][3], "0|2|C|Verdana|x|255|");
  }
}

// An ANSI caption that happens to be valid UTF-8 (CP1251 "Ні" is CD B3) is read as UTF-8: a note shows how.
TEST(Diagnostics, AnAnsiFileThatIsUtf8ByAccidentIsNoted) {
  DiscFolder disc;
  disc.Lines("menu.inf", {"0|0|\xCD\xB3|Verdana|0012|255|65535|900|600|7|"});
  CheckResult result = CheckDisc(disc.path());
  ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
  EXPECT_EQ(result.findings[0].code, "utf8-guess");
  EXPECT_EQ(result.findings[0].column, 5);
  EXPECT_NE(result.findings[0].message.find("\"\xCD\xB3\""), std::string::npos) << result.findings[0].message;
}

// menu.inf that is there but cannot be opened ended the check with a crash.
TEST(Diagnostics, AMenuThatCannotBeOpenedIsAFinding) {
  DiscFolder disc;
  disc.Remove("menu.inf");
  std::filesystem::create_directory(disc.path() + "/menu.inf");
  CheckResult folder = CheckDisc(disc.path());
  EXPECT_TRUE(folder.readable);
  EXPECT_GT(folder.Count(Severity::Error), 0) << Describe(folder.findings);

  DiscFolder dangling;
  dangling.Remove("menu.inf");
  std::filesystem::create_symlink("nowhere.inf", dangling.path() + "/menu.inf");
  CheckResult link = CheckDisc(dangling.path());
  EXPECT_GT(link.Count(Severity::Error), 0) << Describe(link.findings);
}

}  // namespace

namespace {

// A name found in some form that Windows will not open says why, and the walk reports what the burned disc
// will not hold.
struct NotAFile {
  const char* mistake;
  std::function<void(const DiscFolder&)> make;
  long kavoLine;
  std::string inNote;
  std::string walkFinding;  // a name the walk reports as disc-link, or nothing
};

const NotAFile kNotFiles[] = {
    {"a picture linked out of the disc",
     [](const DiscFolder& d) {
       std::filesystem::rename(d.path() + "/images/menu.png", d.path() + "-menu.png");
       std::filesystem::create_symlink(d.path() + "-menu.png", d.path() + "/images/menu.png");
     },
     4, "a link out of the disc's folder", "images/menu.png"},
    {"a sound that is a FIFO",
     [](const DiscFolder& d) {
       std::filesystem::remove(d.path() + "/sounds/intro.wav");
       ASSERT_EQ(mkfifo((d.path() + "/sounds/intro.wav").c_str(), 0644), 0);
     },
     5, "a FIFO, a device or a socket", "sounds/intro.wav"},
    {"a splash named with a composed letter, stored decomposed",
     [](const DiscFolder& d) {
       std::filesystem::rename(d.path() + "/images/splash.png", d.path() + "/images/cafe\xCC\x81.png");
       d.Lines("kavo.inf", {"101", "images\\caf\xC3\xA9.png", "", "images\\menu.png", "", ""});
     },
     2, "composed otherwise", ""},
};

TEST(Diagnostics, ANameThatIsNoFileOnTheDiscSaysWhy) {
  for (const NotAFile& n : kNotFiles) {
    DiscFolder disc;
    n.make(disc);
    CheckResult result = CheckDisc(disc.path());
    std::filesystem::remove(disc.path() + "-menu.png");
    const Finding* missing = nullptr;
    bool walked = n.walkFinding.empty();
    for (const Finding& f : result.findings) {
      if (f.file == "kavo.inf" && f.line == n.kavoLine && f.code == "file-missing") missing = &f;
      walked |= f.code == "disc-link" && f.file == n.walkFinding;
    }
    ASSERT_NE(missing, nullptr) << n.mistake << Describe(result.findings);
    bool said = false;
    for (const FindingNote& note : missing->notes)
      said |= note.message.find(n.inNote) != std::string::npos;
    EXPECT_TRUE(said) << n.mistake << Describe(result.findings);
    EXPECT_TRUE(walked) << n.mistake << Describe(result.findings);
  }
}

}  // namespace
