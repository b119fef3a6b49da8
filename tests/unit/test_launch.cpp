#include <gtest/gtest.h>

#include "disc.h"
#include "launch/launch.h"
#include "menu/frmMenu.h"
#include "platform/listing.h"
#include "sound/modSound.h"

namespace {

struct SplitCase {
  const wchar_t* command;
  const wchar_t* file;
  const wchar_t* parameters;
};

TEST(LaunchCommand, SplitsAtTheFirstDashAfterABlank) {
  const SplitCase cases[] = {
      {L"setup.exe -x", L"setup.exe", L"x"},
      {L"setup.exe -s", L"setup.exe", L"s"},
      {L"readme.txt", L"readme.txt", L""},
      {L"setup.exe -a -b", L"setup.exe", L"a -b"},
      {L"bin\\setup.exe -x", L"bin\\setup.exe", L"x"},
      {L" -x", L"", L"x"},
      {L"", L"", L""},
      // Dashes inside names are part of the name.
      {L"my-tool.exe -x", L"my-tool.exe", L"x"},
      {L"read-me.txt", L"read-me.txt", L""},
      {L"prog.exe-x", L"prog.exe-x", L""},
      {L"-x", L"-x", L""},
      {L"--x", L"--x", L""},
      {L"my file.exe --long -y", L"my file.exe", L"-long -y"},
      {L"a - b", L"a", L" b"},
      {L"setup.exe  -s", L"setup.exe ", L"s"},
      {L"setup.exe -", L"setup.exe", L""},
  };
  for (const auto& c : cases) {
    LaunchCommandParts parts = SplitLaunchCommand(c.command);
    EXPECT_EQ(parts.file, c.file) << ToUtf8(c.command);
    EXPECT_EQ(parts.parameters, c.parameters) << ToUtf8(c.command);
  }
}

TEST(LaunchCommand, LongCommandsSplit) {
  Text parameters(40000, L'p');
  LaunchCommandParts parts = SplitLaunchCommand(L"setup.exe -" + parameters);
  EXPECT_EQ(parts.file, L"setup.exe");
  EXPECT_EQ(parts.parameters, parameters);
}

TEST(LaunchCommand, MissingFileMessagesWordForWord) {
  EXPECT_EQ(
      MissingFileMessage(L"bin\\setup.exe"),
      L"You told Velmaro that you wanted to launch the file cdDrive:\\bin\\setup.exe yet you did not burn "
      L"this file to CD!  It is very hard to launch a file from your CD if that file is not where you told "
      L"Velmaro that it would be.  Please burn your file to the appropriate location.");
  EXPECT_EQ(kMissingFileTitle, L"File Not Found");
  EXPECT_EQ(
      MissingSoundMessage(L"sounds\\hello.wav"),
      L"You told Velmaro that you wanted to play the file cdDrive:\\sounds\\hello.wav yet you did not burn "
      L"this file to CD!  It is very hard to launch a file from your CD if that file is not where you told "
      L"Velmaro that it would be.  Please burn your file to the appropriate location.");
  EXPECT_EQ(kMissingSoundTitle, L"Sound File Not Found");
}

struct ExistsCase {
  const wchar_t* path;
  bool exists;
};

// The rules both file systems share; the real one gets its attributes from FindFirstFileA.
TEST(FileExistsRules, OrdinaryFilesAndFolderListings) {
  const struct {
    uint32_t attributes;
    bool ordinary;
  } entries[] = {
      {0, true},
      {kAttrReadOnly, true},
      {kAttrArchive, true},
      {kAttrReadOnly | kAttrArchive, true},
      {0x80, true},  // "normal"
      {kAttrHidden, false},
      {kAttrSystem | kAttrReadOnly, false},
      {kAttrDirectory, false},
      {kAttrDirectory | kAttrReadOnly, false},
  };
  for (const auto& e : entries)
    EXPECT_EQ(IsOrdinaryFile(e.attributes), e.ordinary) << e.attributes;
  EXPECT_EQ(ListingPattern(L"D:\\docs\\"), L"D:\\docs\\*");
  EXPECT_EQ(ListingPattern(L"D:\\"), L"D:\\*");
  EXPECT_EQ(ListingPattern(L"D:\\docs"), L"D:\\docs");
  EXPECT_EQ(ListingPattern(L""), L"");
}

// The fake disc lists through the same rules, so the tests' disc behaves as a real one.
TEST(FileExistsOnTheFakeDisc, ListsOrdinaryFilesOnly) {
  FakePlatform fake;
  FakeFile readOnly, hidden, system;
  readOnly.readOnly = true;
  hidden.hidden = true;
  system.system = true;
  fake.AddFile(L"D:\\setup.exe", "MZ", readOnly);
  fake.AddFile(L"D:\\hidden.txt", "", hidden);
  fake.AddFile(L"D:\\system.sys", "", system);
  fake.AddFile(L"D:\\docs\\guide.pdf", "%PDF", readOnly);
  fake.AddFolder(L"D:\\empty");
  fake.AddFile(L"D:\\secret\\only.txt", "", hidden);
  const ExistsCase cases[] = {
      {L"D:\\setup.exe", true},
      {L"d:\\SETUP.EXE", true},
      {L"D:\\hidden.txt", false},
      {L"D:\\system.sys", false},
      {L"D:\\docs", false},
      {L"D:\\docs\\", true},
      {L"D:\\", true},
      {L"D:\\empty\\", false},
      {L"D:\\secret\\", false},
      {L"D:\\*.exe", true},
      {L"D:\\set?p.exe", true},
      {L"D:\\*.txt", false},
      {L"D:\\docs\\*", true},
      {L"D:\\missing.exe", false},
      {L"D:\\docs\\guide.pdf", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fake.FileExists(c.path), c.exists) << ToUtf8(c.path);
}

TEST(Sound, CommandStrings) {
  FakePlatform fake;
  OpenSound(L"D:\\My Sounds\\intro.wav", kBackgroundChannel);
  PlaySound(kMouseOverChannel);
  CloseSound(kLinkChannel);
  EXPECT_EQ(fake.transcript,
            Lines({
                R"(mciSendStringA("open "D:\My Sounds\intro.wav" type waveaudio alias mciBG"))",
                R"(mciSendStringA("seek mciMO to start"))",
                R"(mciSendStringA("play mciMO"))",
                R"(mciSendStringA("close mciExtra"))",
            }));
}

}  // namespace
