#include <gtest/gtest.h>

#include "disc.h"
#include "menu/modMouseGlobal.h"
#include "platform/controls.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"

namespace {

Lines Join(std::initializer_list<Lines> blocks) {
  Lines out;
  for (const auto& block : blocks)
    out.insert(out.end(), block.begin(), block.end());
  return out;
}

const Lines kReadAndOpenSounds = {
    R"(OpenTextFile("D:\kavo.inf"))",
    R"(mciSendStringA("open "D:\sounds\bg.wav" type waveaudio alias mciBG"))",
    R"(mciSendStringA("open "D:\sounds\mo.wav" type waveaudio alias mciMO"))",
};
// 300 x 200 pixels centred on a 1024 x 768 screen.
const Lines kShowSplash = {
    R"(LoadPictureFile(pctSS, "D:\splash.bmp"))",
    "SetInnerSize(frmSplash, 4500, 3000)",
    "MoveWindow(frmSplash, 5430, 4260)",
    "ShowWindow(frmSplash)",
    "EnableTimer(tmrSS, true)",
};
// 400 x 300 pixels inside a frame of 90 x 360 twips, the outer rectangle centred.
const Lines kPrepareMenu = {
    R"(LoadPictureFile(pctBG, "D:\menu.bmp"))",
    "SetInnerSize(frmMenu, 6000, 4500)",
    "MoveWindow(frmMenu, 4635, 3330)",
    R"(OpenTextFile("D:\menu.inf"))",
};
const Lines kShowMenu = {
    "ShowWindow(frmMenu)",
    R"(mciSendStringA("seek mciBG to start"))",
    R"(mciSendStringA("play mciBG"))",
};
const Lines kLaunch = {
    R"(FileExists("D:\setup.exe") = true)",
    R"(ShellExecuteA(owner=null, "open", "D:\setup.exe", "s", dir=null, show=1))",
};
const Lines kHideSplash = {"EnableTimer(tmrSS, false)", "HideWindow(frmSplash)"};
const Lines kCloseAndEnd = {
    R"(mciSendStringA("close mciBG"))",
    R"(mciSendStringA("close mciMO"))",
    "EndProgram",
};
const Lines kEnd = {"EndProgram"};

class StartupTest : public DiscTest {
 protected:
  void SetUp() override {
    fake.AddPicture(L"D:\\splash.bmp", 300, 200);
    fake.AddPicture(L"D:\\menu.bmp", 400, 300);
    fake.AddFile(L"D:\\setup.exe", "MZ");
    Menu({"0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|"});
  }
  void KavoWithFlags(const std::string& flags) {
    Kavo({flags, "splash.bmp", "setup.exe -s", "menu.bmp", "sounds\\bg.wav", "sounds\\mo.wav"});
  }
};

struct OutcomeCase {
  const char* flags;
  Lines atStart;
  Lines atTimer;  // empty: the timer never fires
  bool runsOn;
};

TEST(Startup, EveryCombinationOfTheStartupFlags) {
  const OutcomeCase cases[] = {
      {"000", Join({kReadAndOpenSounds, kEnd}), {}, false},
      {"001", Join({kReadAndOpenSounds, kPrepareMenu, kShowMenu}), {}, true},
      {"010", Join({kReadAndOpenSounds, kLaunch, kEnd}), {}, false},
      {"011", Join({kReadAndOpenSounds, kPrepareMenu, kShowMenu, kLaunch}), {}, true},
      {"100", Join({kReadAndOpenSounds, kShowSplash}), Join({kHideSplash, kCloseAndEnd}), false},
      {"101", Join({kReadAndOpenSounds, kShowSplash, kPrepareMenu}), Join({kHideSplash, kShowMenu}), true},
      {"110", Join({kReadAndOpenSounds, kShowSplash}), Join({kHideSplash, kLaunch, kCloseAndEnd}), false},
      {"111", Join({kReadAndOpenSounds, kShowSplash, kPrepareMenu}), Join({kHideSplash, kShowMenu, kLaunch}),
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    FakePlatform fresh;
    fresh.AddPicture(L"D:\\splash.bmp", 300, 200);
    fresh.AddPicture(L"D:\\menu.bmp", 400, 300);
    fresh.AddFile(L"D:\\setup.exe", "MZ");
    fresh.AddFile(L"D:\\menu.inf", CrLf({"0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|"}));
    fresh.AddFile(L"D:\\kavo.inf", CrLf({c.flags, "splash.bmp", "setup.exe -s", "menu.bmp", "sounds\\bg.wav",
                                         "sounds\\mo.wav"}));
    fresh.Start();
    EXPECT_EQ(fresh.TakeTranscript(), c.atStart);
    EXPECT_EQ(fresh.FireTimer(), !c.atTimer.empty());
    EXPECT_EQ(fresh.TakeTranscript(), c.atTimer);
    EXPECT_FALSE(fresh.FireTimer()) << "the timer fires once";
    EXPECT_EQ(fresh.ended, !c.runsOn);
    fresh.CloseMenu();
    if (c.runsOn) {
      EXPECT_EQ(fresh.TakeTranscript(), kCloseAndEnd);
    }
  }
}

struct FlagCase {
  const char* line1;
  bool splash, file, menu;
};

TEST(LaunchConfigFile, FlagsAreTheFirstSecondAndLastCharacter) {
  const FlagCase cases[] = {
      {"101", true, false, true},   {"1", true, false, true},     {"01", false, true, true},
      {"10", true, false, false},   {"10ab1", true, false, true}, {"111 ", true, true, false},
      {" 11", false, true, true},   {"Y1Y", false, true, false},  {"", false, false, false},
      {"000", false, false, false}, {"2", false, false, false},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.AddFile(L"D:\\kavo.inf", CrLf({c.line1}));
    LaunchConfig config = ReadLaunchConfig(L"D:\\");
    EXPECT_EQ(IsOn(config.splashFlag), c.splash) << c.line1;
    EXPECT_EQ(IsOn(config.fileFlag), c.file) << c.line1;
    EXPECT_EQ(IsOn(config.menuFlag), c.menu) << c.line1;
  }
}

TEST(LaunchConfigFile, ShortMissingAndLongFiles) {
  FakePlatform fake;
  fake.AddFile(L"D:\\kavo.inf", "101\r\nsplash.bmp\r\n");
  LaunchConfig shortFile = ReadLaunchConfig(L"D:\\");
  EXPECT_EQ(shortFile.splashPicture, L"splash.bmp");
  EXPECT_EQ(shortFile.singleFile, L"");
  EXPECT_EQ(shortFile.mouseOverSound, L"");

  fake.AddFile(L"D:\\kavo.inf", CrLf({"101", " a ", "b -c", "\\d", "e", "f", "seventh", "eighth"}));
  LaunchConfig longFile = ReadLaunchConfig(L"D:\\");
  EXPECT_EQ(longFile.splashPicture, L" a ") << "nothing is trimmed";
  EXPECT_EQ(longFile.singleFile, L"b -c");
  EXPECT_EQ(longFile.menuPicture, L"\\d");
  EXPECT_EQ(longFile.mouseOverSound, L"f");

  FakePlatform empty;
  LaunchConfig missing = ReadLaunchConfig(L"D:\\");
  EXPECT_EQ(missing.splashFlag, L"");
  EXPECT_EQ(missing.menuPicture, L"");
  EXPECT_EQ(empty.transcript, Lines{R"(OpenTextFile("D:\kavo.inf"))"});
}

TEST_F(StartupTest, LineFeedEndsALineToo) {
  fake.AddFile(L"D:\\kavo.inf", "001\nsplash.bmp\nsetup.exe -s\nmenu.bmp\n\n\n");
  Start();
  EXPECT_FALSE(fake.ended);
  EXPECT_TRUE(fake.window(Win::Menu).visible);
  EXPECT_EQ(fake.boxSize[1].width, 6000);
  EXPECT_FALSE(frmMain.bgSound);
}

TEST_F(StartupTest, NoFlagOnEndsAtOnce) {
  EXPECT_EQ(Start(), Lines({R"(OpenTextFile("D:\kavo.inf"))", "EndProgram"}));
  fake.AddFile(L"D:\\kavo.inf", "");
  EXPECT_EQ(Start(), Lines({R"(OpenTextFile("D:\kavo.inf"))", "EndProgram"}));
}

TEST_F(StartupTest, SoundsOpenOnlyWhenNamed) {
  Kavo({"001", "", "", "menu.bmp", "", "sounds\\mo.wav"});
  Lines start = Start();
  EXPECT_FALSE(frmMain.bgSound);
  EXPECT_TRUE(frmMain.moSound) << "set even though the file is missing";
  EXPECT_EQ(start[1], R"(mciSendStringA("open "D:\sounds\mo.wav" type waveaudio alias mciMO"))");
  EXPECT_EQ(start.back(), "ShowWindow(frmMenu)") << "no background sound to play";
}

TEST_F(StartupTest, ProgramFolderGetsOneBackslash) {
  for (const auto& [folder, expected] :
       std::vector<std::pair<Text, Text>>{{L"D:\\", L"D:\\"}, {L"C:\\Disc", L"C:\\Disc\\"}}) {
    fake.programFolder = folder;
    fake.AddFile(expected + L"kavo.inf", CrLf({"001", "", "", "menu.bmp"}));
    Lines start = Start();
    EXPECT_EQ(frmMain.appPath, expected);
    EXPECT_EQ(start[0], "OpenTextFile(" + Quoted(expected + L"kavo.inf") + ")");
  }
}

TEST_F(StartupTest, SplashLargerThanTheScreenGetsNegativeCoordinates) {
  fake.AddPicture(L"D:\\huge.bmp", 1101, 901);
  Kavo({"10", "huge.bmp"});
  Lines start = Start();
  EXPECT_EQ(start[3], "MoveWindow(frmSplash, -577.5, -997.5)");
  EXPECT_FLOAT_EQ(fake.window(Win::Splash).left, -577.5f);
}

TEST_F(StartupTest, MissingPicturesLeaveTheBoxesAsCreated) {
  Kavo({"101", "nothing.bmp", "", "nothing.bmp"});
  Lines start = Start();
  EXPECT_EQ(start[2], "SetInnerSize(frmSplash, 1215, 495)");
  EXPECT_EQ(start[7], "SetInnerSize(frmMenu, 5415, 3615)");
  EXPECT_TRUE(fake.window(Win::Splash).visible);
  EXPECT_TRUE(fake.FireTimer());
  EXPECT_TRUE(fake.window(Win::Menu).visible);
}

TEST_F(StartupTest, MenuShownEvenWhenItsPageFailsToLoad) {
  Kavo({"001", "", "", "menu.bmp"});
  fake.AddFile(L"D:\\menu.inf", "");
  fake.AddFile(L"D:\\menu.inf", CrLf({"0|0|Install|Verdana|1012|16777215|65535|240|300|0|x|", "0|zz|"}));
  Start();
  EXPECT_TRUE(fake.window(Win::Menu).visible);
  EXPECT_TRUE(lblLink(0).Visible());
  EXPECT_FALSE(menuReady);
}

TEST_F(StartupTest, MissingMenuFileStillShowsTheWindowAfterTheSplash) {
  Kavo({"101", "splash.bmp", "", "menu.bmp"});
  fake.AddFile(L"D:\\menu.inf", "");
  Start();
  EXPECT_TRUE(frmMain.menuQueued);
  EXPECT_FALSE(fake.window(Win::Menu).visible);
  fake.FireTimer();
  EXPECT_TRUE(fake.window(Win::Menu).visible);
  EXPECT_FALSE(fake.ended);
}

TEST_F(StartupTest, MissingSingleFileIsReportedThenLaunchedAnyway) {
  Kavo({"010", "", "bin\\setup.exe -x"});
  Lines start = Start();
  ASSERT_EQ(start.size(), 5u);
  EXPECT_EQ(start[1], R"(FileExists("D:\bin\setup.exe") = false)");
  EXPECT_EQ(start[2].rfind(R"(MessageBox(critical, "File Not Found", )", 0), 0u);
  EXPECT_EQ(start[3], R"(ShellExecuteA(owner=null, "open", "D:\bin\setup.exe", "x", dir=null, show=1))");
  EXPECT_EQ(start[4], "EndProgram");
}

TEST_F(StartupTest, EmptyLaunchCommandOpensTheDiscFolder) {
  Kavo({"010"});
  Lines start = Start();
  EXPECT_EQ(start[1], R"(FileExists("D:\") = true)");
  EXPECT_EQ(start[2], R"(ShellExecuteA(owner=null, "open", "D:\", "", dir=null, show=1))");
}

}  // namespace
