// The bad-input catalogue: every way a disc's files can be wrong or missing, one row each, with what the
// program then shows, stores and sends, and whether it goes on. A row starts a fresh process on a disc with
// the two configuration files it gives, then takes one step; the lines it expects are those of that step.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "disc.h"
#include "launch/launch.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/textfile.h"

namespace {

enum class Step { Start, Timer, Hover, Click, HoverThenClick };
enum class Shows { Nothing, Splash, Menu };
enum Ready { NotReady, IsReady };
enum Hover { Idle, Highlighted };
enum Goes { Ends, RunsOn };

struct Outcome {
  Shows shows;                 // the visible window
  std::vector<int> links;      // the visible labels
  std::map<int, Text> stored;  // every non-empty entry of linkActions
  Ready menuReady;
  Hover changeMO;
  Lines sent;  // what the step sent, in order
  Goes goes;
};

struct Given {
  std::optional<std::string> kavo, menu;  // file contents; none: the file is not on the disc
  Step step;
  int16_t link;  // the link that a hover or click step is on
};

struct Row {
  const char* failure;
  Given given;
  Outcome expected;
};

// --- Files ---

const std::string kLook = "|Link|Verdana|0012|16777215|65535|240|300|";

std::string Link(int index, const std::string& action, int page = 0) {
  return std::to_string(page) + "|" + std::to_string(index) + kLook + action;
}
// A good link before the bad line and another after it.
std::string Around(const std::string& bad) {
  return CrLf({Link(1, "1|a|"), bad, Link(2, "1|b|")});
}
const std::map<int, Text> kFirstOnly = {{1, L"1|a|"}};
const std::map<int, Text> kBoth = {{1, L"1|a|"}, {2, L"1|b|"}};

// The menu alone, with both sounds named; neither sound file is on the disc.
const std::string kMenuKavo = CrLf({"001", "", "", "menu.bmp", "sounds\\bg.wav", "sounds\\mo.wav"});
const std::string kSplashMenuKavo = CrLf({"101", "splash.bmp", "", "menu.bmp"});

// --- Lines sent ---

const std::string kReadKavo = R"(OpenTextFile("D:\kavo.inf"))";
const std::string kReadMenu = R"(OpenTextFile("D:\menu.inf"))";

std::string Mci(const std::string& command) {
  return "mciSendStringA(\"" + command + "\")";
}
std::string Exists(const Text& path, bool found) {
  return "FileExists(" + Quoted(path) + ") = " + (found ? "true" : "false");
}
std::string Shell(const char* owner, const Text& file, const Text& parameters = L"") {
  return std::string("ShellExecuteA(owner=") + owner + ", \"open\", " + Quoted(file) + ", " +
         Quoted(parameters) + ", dir=null, show=1)";
}
std::string FileMissing(const Text& file) {
  return "MessageBox(critical, " + Quoted(kMissingFileTitle) + ", " + Quoted(MissingFileMessage(file)) + ")";
}
std::string SoundMissing(const Text& file) {
  return "MessageBox(critical, " + Quoted(kMissingSoundTitle) + ", " + Quoted(MissingSoundMessage(file)) +
         ")";
}
Lines Join(std::initializer_list<Lines> blocks) {
  Lines out;
  for (const auto& block : blocks)
    out.insert(out.end(), block.begin(), block.end());
  return out;
}

const Lines kOpenSounds = {Mci(R"(open "D:\sounds\bg.wav" type waveaudio alias mciBG)"),
                           Mci(R"(open "D:\sounds\mo.wav" type waveaudio alias mciMO)")};
// 400 x 300 pixels inside a frame of 90 x 360 twips, centred on a 1024 x 768 screen.
const Lines kPrepareMenu = {R"(LoadPictureFile(pctBG, "D:\menu.bmp"))", "SetInnerSize(frmMenu, 6000, 4500)",
                            "MoveWindow(frmMenu, 4635, 3330)"};
const Lines kPlayBackground = {Mci("seek mciBG to start"), Mci("play mciBG")};
const Lines kStartMenu =
    Join({{kReadKavo}, kOpenSounds, kPrepareMenu, {kReadMenu, "ShowWindow(frmMenu)"}, kPlayBackground});
const Lines kStartMenuSilently = Join({{kReadKavo}, kPrepareMenu, {kReadMenu, "ShowWindow(frmMenu)"}});
const Lines kMouseOver = {Mci("seek mciMO to start"), Mci("play mciMO")};
const Lines kEndAfterSplash = {Mci("close mciBG"), Mci("close mciMO"), "EndProgram"};
const Lines kHideSplash = {"EnableTimer(tmrSS, false)", "HideWindow(frmSplash)"};

// A menu picture that cannot be loaded: the window takes the box as created, 5415 x 3615 twips.
Lines MenuInTheBoxAsCreated(const std::string& picture) {
  return {kReadKavo,
          "LoadPictureFile(pctBG, \"D:\\" + picture + "\")",
          "SetInnerSize(frmMenu, 5415, 3615)",
          "MoveWindow(frmMenu, 4927.5, 3772.5)",
          kReadMenu,
          "ShowWindow(frmMenu)"};
}

const std::string kLong(40000, 'a');

// The catalogue. Built when the test runs, after the program's own texts are initialised.
std::vector<Row> Catalogue() {
  return {
      // kavo.inf and the start-up
      {"kavo.inf missing",
       {std::nullopt, CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Nothing, {}, {}, IsReady, Idle, {kReadKavo, "EndProgram"}, Ends}},
      {"kavo.inf empty: no line 1, so no flag",
       {"", CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Nothing, {}, {}, IsReady, Idle, {kReadKavo, "EndProgram"}, Ends}},
      {"no start-up flag on",
       {CrLf({"000", "splash.bmp", "setup.exe -s", "menu.bmp"}), CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Nothing, {}, {}, IsReady, Idle, {kReadKavo, "EndProgram"}, Ends}},
      {"kavo.inf shorter than six lines: no sounds",
       {CrLf({"001", "", "", "menu.bmp"}), CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kStartMenuSilently, RunsOn}},
      {"kavo.inf with lone LF line ends",
       {"001\n\n\nmenu.bmp\n", CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kStartMenuSilently, RunsOn}},
      {"kavo.inf with lone CR line ends",
       {"001\r\r\rmenu.bmp", CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kStartMenuSilently, RunsOn}},
      {"sound files named but missing: opened and played unheard",
       {kMenuKavo, CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kStartMenu, RunsOn}},
      {"mouse-over sound missing: the highlight works all the same",
       {kMenuKavo, CrLf({Link(1, "7|")}), Step::Hover, 1},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Highlighted, kMouseOver, RunsOn}},
      {"menu picture missing: the window takes the box as created",
       {CrLf({"001", "", "", "gone.bmp"}), CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, MenuInTheBoxAsCreated("gone.bmp"), RunsOn}},
      {"menu picture is no picture",
       {CrLf({"001", "", "", "setup.exe"}), CrLf({Link(1, "7|")}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, MenuInTheBoxAsCreated("setup.exe"), RunsOn}},
      {"splash picture missing: shown as created, still ended by the timer",
       {CrLf({"100", "gone.bmp"}), std::nullopt, Step::Timer, 0},
       {Shows::Nothing, {}, {}, IsReady, Idle, Join({kHideSplash, kEndAfterSplash}), Ends}},
      {"picture names empty: one-character line 1",
       {CrLf({"1"}), CrLf({Link(1, "7|")}), Step::Timer, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, Join({kHideSplash, {"ShowWindow(frmMenu)"}}), RunsOn}},
      {"menu.inf missing at start-up",
       {kMenuKavo, std::nullopt, Step::Start, 0},
       {Shows::Menu, {}, {}, NotReady, Idle, kStartMenu, RunsOn}},
      {"menu.inf missing, menu after the splash",
       {kSplashMenuKavo, std::nullopt, Step::Timer, 0},
       {Shows::Menu, {}, {}, NotReady, Idle, Join({kHideSplash, {"ShowWindow(frmMenu)"}}), RunsOn}},
      {"single file missing",
       {CrLf({"010", "", "bin\\setup.exe -x"}), std::nullopt, Step::Start, 0},
       {Shows::Nothing,
        {},
        {},
        IsReady,
        Idle,
        {kReadKavo, Exists(L"D:\\bin\\setup.exe", false), FileMissing(L"bin\\setup.exe"),
         Shell("null", L"D:\\bin\\setup.exe", L"x"), "EndProgram"},
        Ends}},
      {"single-file command beginning with the dash, at the timer",
       {CrLf({"110", "splash.bmp", "-x"}), std::nullopt, Step::Timer, 0},
       {Shows::Nothing,
        {},
        {},
        IsReady,
        Idle,
        Join({kHideSplash,
              {Exists(L"D:\\-x", false), FileMissing(L"-x"), Shell("null", L"D:\\-x")},
              kEndAfterSplash}),
        Ends}},
      {"single-file command of 40000 characters",
       {CrLf({"010", "", kLong + " -x"}), std::nullopt, Step::Start, 0},
       {Shows::Nothing,
        {},
        {},
        IsReady,
        Idle,
        {kReadKavo, Exists(L"D:\\" + FromUtf8(kLong), false), FileMissing(FromUtf8(kLong)),
         Shell("null", L"D:\\" + FromUtf8(kLong), L"x"), "EndProgram"},
        Ends}},

      // menu.inf lines, loaded as page 0 at the start
      {"blank line between links",
       {kMenuKavo, CrLf({Link(1, "1|a|"), "", Link(2, "1|b|")}), Step::Start, 0},
       {Shows::Menu, {1, 2}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"file ending in empty lines",
       {kMenuKavo, CrLf({Link(1, "1|a|"), Link(2, "1|b|"), "", ""}), Step::Start, 0},
       {Shows::Menu, {1, 2}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"lone LF line ends",
       {kMenuKavo, Link(1, "1|a|") + "\n" + Link(2, "1|b|") + "\n", Step::Start, 0},
       {Shows::Menu, {1, 2}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"lone CR line ends",
       {kMenuKavo, Link(1, "1|a|") + "\r" + Link(2, "1|b|"), Step::Start, 0},
       {Shows::Menu, {1, 2}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"line of two characters without a bar",
       {kMenuKavo, Around("01"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"one-character line of another page",
       {kMenuKavo, Around("1"), Step::Start, 0},
       {Shows::Menu, {1, 2}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"one-character line of this page: no link index",
       {kMenuKavo, Around("0"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"page field not a number",
       {kMenuKavo, Around("zero|3" + kLook + "7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"line ending before its tenth field",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|255|65535|240|300|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"last field of two characters without its bar",
       {kMenuKavo, Around(Link(3, "04")), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"one-character type without its bar, empty and missing arguments",
       {kMenuKavo, CrLf({Link(1, "4"), Link(2, "1||"), Link(3, "3|"), Link(4, "8")}), Step::Start, 0},
       {Shows::Menu,
        {1, 2, 3, 4},
        {{1, L"4"}, {2, L"1||"}, {3, L"3|"}, {4, L"8|"}},
        IsReady,
        Idle,
        kStartMenu,
        RunsOn}},
      {"link index not a number",
       {kMenuKavo, Around("0|x" + kLook + "7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"link index 50",
       {kMenuKavo, Around(Link(50, "7|")), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"link index -1",
       {kMenuKavo, Around(Link(-1, "7|")), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"link index 49.5, the nearest even integer 50",
       {kMenuKavo, Around("0|49.5" + kLook + "7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"style of one character",
       {kMenuKavo, Around("0|3|Link|Verdana|1|255|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"style of two characters: no size",
       {kMenuKavo, Around("0|3|Link|Verdana|10|255|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"style beginning with a letter",
       {kMenuKavo, Around("0|3|Link|Verdana|a012|255|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"style size not a number",
       {kMenuKavo, Around("0|3|Link|Verdana|00xx|255|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"text colour not a number",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|red|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"text colour outside 32 bits",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|4294967296|65535|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"left not a number",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|255|65535|left|300|7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"top empty",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|255|65535|240||7|"), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"action type not a number",
       {kMenuKavo, Around(Link(3, "seven|")), Step::Start, 0},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kStartMenu, RunsOn}},
      {"action type 9: shown, nothing stored",
       {kMenuKavo, Around(Link(3, "9|x|")), Step::Start, 0},
       {Shows::Menu, {1, 2, 3}, kBoth, IsReady, Idle, kStartMenu, RunsOn}},
      {"highlight colour not a number: stored as text",
       {kMenuKavo, Around("0|3|Link|Verdana|0012|255|yellow|240|300|7|"), Step::Start, 0},
       {Shows::Menu, {1, 2, 3}, {{1, L"1|a|"}, {2, L"1|b|"}, {3, L"7"}}, IsReady, Idle, kStartMenu, RunsOn}},
      {"field of 40000 characters",
       {kMenuKavo, CrLf({"0|1|" + kLong + "|Verdana|0012|255|65535|240|300|7|"}), Step::Start, 0},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kStartMenu, RunsOn}},

      // Clicks
      {"type 0, file missing: told, then launched",
       {kMenuKavo, CrLf({Link(1, "0|gone\\setup.exe -q|")}), Step::Click, 1},
       {Shows::Menu,
        {1},
        {{1, L"0|gone\\setup.exe -q|"}},
        IsReady,
        Idle,
        {Exists(L"D:\\gone\\setup.exe", false), FileMissing(L"gone\\setup.exe"),
         Shell("frmMenu", L"D:\\gone\\setup.exe", L"q")},
        RunsOn}},
      {"type 0, command beginning with the dash",
       {kMenuKavo, CrLf({Link(1, "0|-x|")}), Step::Click, 1},
       {Shows::Menu,
        {1},
        {{1, L"0|-x|"}},
        IsReady,
        Idle,
        {Exists(L"D:\\-x", false), FileMissing(L"-x"), Shell("frmMenu", L"D:\\-x")},
        RunsOn}},
      {"type 0, command of 40000 characters",
       {kMenuKavo, CrLf({Link(1, "0|setup.exe -" + kLong + "|")}), Step::Click, 1},
       {Shows::Menu,
        {1},
        {{1, L"0|setup.exe -" + FromUtf8(kLong) + L"|"}},
        IsReady,
        Idle,
        {Exists(L"D:\\setup.exe", true), Shell("frmMenu", L"D:\\setup.exe", FromUtf8(kLong))},
        RunsOn}},
      {"type 3, document missing: no test, no message",
       {kMenuKavo, CrLf({Link(1, "3|docs\\gone.pdf|")}), Step::Click, 1},
       {Shows::Menu,
        {1},
        {{1, L"3|docs\\gone.pdf|"}},
        IsReady,
        Idle,
        {Shell("frmMenu", L"D:\\docs\\gone.pdf")},
        RunsOn}},
      {"type 8, sound missing: told, nothing played",
       {kMenuKavo, CrLf({Link(1, "8|sounds\\gone.wav|")}), Step::Click, 1},
       {Shows::Menu,
        {1},
        {{1, L"8|sounds\\gone.wav|"}},
        IsReady,
        Idle,
        {Mci("close mciExtra"), Mci(R"(open "D:\sounds\gone.wav" type waveaudio alias mciExtra)"),
         Exists(L"D:\\sounds\\gone.wav", false), SoundMissing(L"sounds\\gone.wav")},
        RunsOn}},
      {"click on index 50",
       {kMenuKavo, CrLf({Link(1, "4|")}), Step::Click, 50},
       {Shows::Menu, {1}, {{1, L"4"}}, IsReady, Idle, {}, RunsOn}},
      {"click on a link that never stored an action",
       {kMenuKavo, CrLf({Link(1, "9|")}), Step::Click, 1},
       {Shows::Menu, {1}, {}, IsReady, Idle, {}, RunsOn}},
      {"type 4 stored with two characters",
       {kMenuKavo, CrLf({Link(1, "04|")}), Step::Click, 1},
       {Shows::Menu, {1}, {{1, L"04"}}, IsReady, Idle, {}, RunsOn}},
      {"type 5, page not a number",
       {kMenuKavo, CrLf({Link(1, "5|x|"), Link(2, "7|", 1)}), Step::Click, 1},
       {Shows::Menu, {1}, {{1, L"5|x|"}}, IsReady, Idle, {}, RunsOn}},
      {"type 5, page outside 16 bits",
       {kMenuKavo, CrLf({Link(1, "5|40000|"), Link(2, "7|", 1)}), Step::Click, 1},
       {Shows::Menu, {1}, {{1, L"5|40000|"}}, IsReady, Idle, {}, RunsOn}},
      {"type 5, page failing part-way under a highlight",
       {kMenuKavo, CrLf({Link(1, "5|1|"), Link(2, "1|b|", 1), Link(50, "7|", 1), Link(3, "7|", 1)}),
        Step::HoverThenClick, 1},
       {Shows::Menu,
        {2},
        {{1, L"5|1|"}, {2, L"1|b|"}},
        NotReady,
        Highlighted,
        Join({kMouseOver, {kReadMenu}}),
        RunsOn}},

      // Hovers
      {"highlight colour not a number: the sound only",
       {kMenuKavo, CrLf({"0|1|Link|Verdana|0012|255|yellow|240|300|7|"}), Step::Hover, 1},
       {Shows::Menu, {1}, {{1, L"7"}}, IsReady, Idle, kMouseOver, RunsOn}},
      {"hover over a page that stopped part-way: the sound only",
       {kMenuKavo, Around(Link(50, "7|")), Step::Hover, 1},
       {Shows::Menu, {1}, kFirstOnly, NotReady, Idle, kMouseOver, RunsOn}},
  };
}

std::vector<int> VisibleLinks() {
  std::vector<int> shown;
  for (int i = 0; i < kLinkCount; ++i)
    if (lblLink(i).Visible()) shown.push_back(i);
  return shown;
}

std::map<int, Text> StoredActions() {
  std::map<int, Text> stored;
  for (int i = 0; i < kLinkCount; ++i)
    if (!linkActions[static_cast<std::size_t>(i)].empty())
      stored[i] = linkActions[static_cast<std::size_t>(i)];
  return stored;
}

TEST(BadInput, EveryFailureHasItsOutcome) {
  for (const Row& row : Catalogue()) {
    SCOPED_TRACE(row.failure);
    FakePlatform fake;
    fake.AddPicture(L"D:\\splash.bmp", 300, 200);
    fake.AddPicture(L"D:\\menu.bmp", 400, 300);
    fake.AddFile(L"D:\\setup.exe", "MZ");
    const Given& given = row.given;
    if (given.kavo) fake.AddFile(L"D:\\kavo.inf", *given.kavo);
    if (given.menu) fake.AddFile(L"D:\\menu.inf", *given.menu);

    fake.Start();
    if (given.step != Step::Start) fake.TakeTranscript();
    switch (given.step) {
      case Step::Start:
        break;
      case Step::Timer:
        EXPECT_TRUE(fake.FireTimer());
        break;
      case Step::Hover:
        fake.MoveOverLabel(given.link);
        break;
      case Step::Click:
        fake.Click(given.link);
        break;
      case Step::HoverThenClick:
        fake.MoveOverLabel(given.link);
        fake.Click(given.link);
        break;
    }

    const Outcome& want = row.expected;
    EXPECT_EQ(fake.window(Win::Splash).visible, want.shows == Shows::Splash);
    EXPECT_EQ(fake.window(Win::Menu).visible, want.shows == Shows::Menu);
    EXPECT_EQ(VisibleLinks(), want.links);
    EXPECT_EQ(StoredActions(), want.stored);
    EXPECT_EQ(menuReady, want.menuReady == IsReady);
    EXPECT_EQ(frmMenu.changeMO, want.changeMO == Highlighted);
    EXPECT_EQ(fake.TakeTranscript(), want.sent);
    EXPECT_EQ(fake.ended, want.goes == Ends);
    EXPECT_FALSE(FileIsOpen());
  }
}

}  // namespace
