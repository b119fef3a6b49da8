// kavo.inf's lines as the start-up dialog shows them, and the lines it rewrites.
#include <gtest/gtest.h>

#include "tools/design/startup_settings.h"

namespace {

std::array<Text, kKavoLineCount> Lines(const Text& flags) {
  return {flags, L"images\\splash.png", L"setup.exe -s", L"images\\menu.png", L"", L"sounds\\hover.wav"};
}

TEST(StartupSettings, SwitchesReadAsTheProgramReadsThem) {
  struct Case {
    const wchar_t* flags;
    bool splash, launch, menu;
  } cases[] = {
      {L"101", true, false, true},  {L"111", true, true, true},
      {L"001", false, false, true}, {L"10", true, false, false},  // the menu is the last character
      {L"1", true, false, true},                                  // one character is the first and the last
      {L"1001", true, false, true}, {L"", false, false, false},
      {L"2 1", false, false, true}, {L" 11", false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.flags));
    StartupSettings settings = ReadStartupSettings(Lines(c.flags));
    EXPECT_EQ(settings.splash, c.splash);
    EXPECT_EQ(settings.launch, c.launch);
    EXPECT_EQ(settings.menu, c.menu);
  }
  StartupSettings settings = ReadStartupSettings(Lines(L"101"));
  EXPECT_EQ(settings.splashPicture, L"images\\splash.png");
  EXPECT_EQ(settings.launchCommand, L"setup.exe -s");
  EXPECT_EQ(settings.menuPicture, L"images\\menu.png");
  EXPECT_EQ(settings.backgroundSound, L"");
  EXPECT_EQ(settings.mouseOverSound, L"sounds\\hover.wav");
}

TEST(StartupSettings, OnlyWhatChangedIsRewritten) {
  // Line 1 written in a form of its own stays so while no switch changes.
  StartupSettings before = ReadStartupSettings(Lines(L"1001"));
  EXPECT_TRUE(ChangedStartupLines(before, before).empty());

  StartupSettings after = before;
  after.launch = true;
  after.backgroundSound = L"sounds\\music.wav";
  auto changed = ChangedStartupLines(before, after);
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(changed[0].first, KavoLine::Flags);
  EXPECT_EQ(changed[0].second, L"111");
  EXPECT_EQ(changed[1].first, KavoLine::BackgroundSound);
  EXPECT_EQ(changed[1].second, L"sounds\\music.wav");

  // What is written reads back as the switches chosen.
  for (int bits = 0; bits < 8; ++bits) {
    StartupSettings chosen = before;
    chosen.splash = bits & 1;
    chosen.launch = bits & 2;
    chosen.menu = bits & 4;
    auto lines = ChangedStartupLines(before, chosen);
    Text flags = lines.empty() ? L"1001" : lines[0].second;
    StartupSettings read = ReadStartupSettings(Lines(flags));
    EXPECT_EQ(read.splash, chosen.splash) << bits;
    EXPECT_EQ(read.launch, chosen.launch) << bits;
    EXPECT_EQ(read.menu, chosen.menu) << bits;
  }
}

}  // namespace
