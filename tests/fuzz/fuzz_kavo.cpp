// Any kavo.inf through the whole start-up, the splash timer and the closing of the menu. What is shown,
// launched, opened and ended must follow from the three flags of the first line alone, whatever else the
// bytes hold; nothing may happen after the end of the program and no file may stay open.
#include <algorithm>

#include "check.h"
#include "menu/modMouseGlobal.h"
#include "platform/fake/fake_platform.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"

namespace {

FakePlatform& Disc() {
  static FakePlatform* fake = [] {
    auto* disc = new FakePlatform;
    disc->AddPicture(L"D:\\splash.bmp", 300, 200);
    disc->AddPicture(L"D:\\menu.bmp", 400, 300);
    disc->AddFile(L"D:\\setup.exe", "MZ");
    disc->AddFile(L"D:\\sounds\\bg.wav", "RIFF");
    disc->AddFile(L"D:\\menu.inf",
                  "0|0|Install|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|\r\n"
                  "0|1|Exit|Verdana|1012|16777215|65535|240|600|6|\r\n");
    return disc;
  }();
  return *fake;
}

std::size_t Count(const std::vector<std::string>& lines, std::size_t from, const std::string& prefix) {
  return static_cast<std::size_t>(
      std::count_if(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(),
                    [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

bool IsOn(const Text& line, std::size_t position) {
  return position < line.size() && line[position] == L'1';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FakePlatform& fake = Disc();
  fake.AddFile(L"D:\\kavo.inf", std::string(reinterpret_cast<const char*>(data), size));
  fake.transcript.clear();

  std::vector<Text> lines = ReferenceLines(FileText(data, size));
  lines.resize(std::max<std::size_t>(lines.size(), 6));
  const Text& flags = lines[0];
  const bool splash = IsOn(flags, 0), file = IsOn(flags, 1),
             menu = !flags.empty() && IsOn(flags, flags.size() - 1);
  const auto& t = fake.transcript;

  fake.Start();
  CheckNothingAfterTheEnd(t, fake.ended);
  FUZZ_CHECK(!FileIsOpen());
  FUZZ_CHECK(!t.empty() && t[0] == "OpenTextFile(\"D:\\kavo.inf\")");
  FUZZ_CHECK(frmMain.appPath == L"D:\\");
  FUZZ_CHECK(frmMain.sSingle == lines[2]);
  FUZZ_CHECK(frmMain.bgSound == !lines[4].empty());
  FUZZ_CHECK(frmMain.moSound == !lines[5].empty());
  FUZZ_CHECK(Count(t, 0, "mciSendStringA(\"open ") ==
             (frmMain.bgSound ? 1u : 0u) + (frmMain.moSound ? 1u : 0u));
  FUZZ_CHECK(frmMain.splashOn == splash);
  FUZZ_CHECK(fake.window(Win::Splash).visible == splash);
  FUZZ_CHECK(fake.timerEnabled == splash);
  FUZZ_CHECK(frmMain.menuQueued == (splash && menu));
  FUZZ_CHECK(frmMain.fileQueued == (splash && file));
  FUZZ_CHECK(fake.window(Win::Menu).visible == (menu && !splash));
  FUZZ_CHECK(Count(t, 0, "ShellExecuteA(owner=null") == (file && !splash ? 1u : 0u));
  FUZZ_CHECK(Count(t, 0, "ShellExecuteA(owner=frmMenu") == 0);
  FUZZ_CHECK(fake.ended == (!splash && !menu));
  if (menu) FUZZ_CHECK(menuReady);

  const std::size_t atTimer = t.size();
  FUZZ_CHECK(fake.FireTimer() == splash);
  CheckNothingAfterTheEnd(t, fake.ended);
  FUZZ_CHECK(!fake.timerEnabled);
  FUZZ_CHECK(!fake.window(Win::Splash).visible);
  FUZZ_CHECK(fake.window(Win::Menu).visible == menu);
  FUZZ_CHECK(Count(t, 0, "ShellExecuteA(owner=null") == (file ? 1u : 0u));
  FUZZ_CHECK(fake.ended == !menu);
  if (splash && !menu) {
    FUZZ_CHECK(t.size() >= atTimer + 3);
    FUZZ_CHECK(t[t.size() - 3] == "mciSendStringA(\"close mciBG\")");
    FUZZ_CHECK(t[t.size() - 2] == "mciSendStringA(\"close mciMO\")");
  }
  FUZZ_CHECK(!fake.FireTimer());
  FUZZ_CHECK(!FileIsOpen());

  // A running menu: hover and click its first link, then close the window.
  const std::size_t atMenu = t.size();
  fake.MoveOverLabel(0);
  fake.MoveOverBackground();
  fake.Click(0);
  FUZZ_CHECK(!fake.ended || atMenu == t.size());
  const bool wasRunning = !fake.ended;
  fake.CloseMenu();
  CheckNothingAfterTheEnd(t, fake.ended);
  FUZZ_CHECK(fake.ended);
  if (wasRunning) {
    FUZZ_CHECK(t.size() >= 3);
    FUZZ_CHECK(t[t.size() - 3] == "mciSendStringA(\"close mciBG\")");
    FUZZ_CHECK(t[t.size() - 2] == "mciSendStringA(\"close mciMO\")");
  }
  FUZZ_CHECK(!FileIsOpen());
  return 0;
}
