#include "startup/frmMain.h"

#include "launch/launch.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "sound/modSound.h"
#include "startup/kavo.h"

FrmMain frmMain;

namespace {

// Sizes a window around its picture and centres it; a window larger than the screen gets a negative
// left or top. The arithmetic is floating point on twips, handed on unrounded.
void SizeAndCentre(Win window, Box box) {
  SkipOnError([&] { Sys().SetInnerSize(window, Sys().BoxSize(box)); });
  SkipOnError([&] {
    TwipSize outer = Sys().WindowSize(window);
    auto left = static_cast<float>(Sys().ScreenWidth() / 2.0 - outer.width / 2.0);
    auto top = static_cast<float>(Sys().ScreenHeight() / 2.0 - outer.height / 2.0);
    Sys().MoveWindow(window, left, top);
  });
}

}  // namespace

void FrmMain::Form_Load() {
  menuReady = true;
  SkipOnError([&] { SetDecimalSeparator(Sys().DecimalSeparator()); });
  SkipOnError([&] {
    appPath = Sys().ProgramFolder();
    if (appPath.empty() || appPath.back() != L'\\') appPath += L'\\';
  });
  splashOn = false;
  fileQueued = false;
  menuQueued = false;

  LaunchConfig config = ReadLaunchConfig(appPath);
  sSingle = config.singleFile;

  if (!config.backgroundSound.empty()) {
    bgSound = true;
    SkipOnError([&] { OpenSound(appPath + config.backgroundSound, kBackgroundChannel); });
  }
  if (!config.mouseOverSound.empty()) {
    moSound = true;
    SkipOnError([&] { OpenSound(appPath + config.mouseOverSound, kMouseOverChannel); });
  }

  bool splash = IsOn(config.splashFlag), file = IsOn(config.fileFlag), menu = IsOn(config.menuFlag);

  if (splash) {
    SkipOnError([&] { Sys().LoadPictureFile(Box::SS, appPath + config.splashPicture); });
    SizeAndCentre(Win::Splash, Box::SS);
    SkipOnError([&] { Sys().ShowWindow(Win::Splash); });
    SkipOnError([&] { Sys().EnableTimer(true); });
    splashOn = true;
  }

  if (menu) {
    SkipOnError([&] { Sys().LoadPictureFile(Box::BG, appPath + config.menuPicture); });
    SizeAndCentre(Win::Menu, Box::BG);
    if (splashOn) {
      menuQueued = true;
      SkipOnError([&] { LoadMenuPage(0); });
    } else {
      SkipOnError([&] { LoadMenuPage(0); });
      SkipOnError([&] { Sys().ShowWindow(Win::Menu); });
    }
  }

  if (file) {
    if (splashOn) {
      fileQueued = true;
    } else {
      SkipOnError([&] { LaunchSingleFile(); });
      if (!menu) Sys().EndProgram();
    }
  }

  // Nothing shown and nothing launched: a process with no window must not linger.
  if (!splash && !file && !menu) Sys().EndProgram();
}

void FrmMain::tmrSS_Timer() {
  Sys().EnableTimer(false);
  Sys().HideWindow(Win::Splash);
  if (menuQueued) Sys().ShowWindow(Win::Menu);
  // A launch that fails here is abandoned; the menu, or the end of the program, still follows.
  if (fileQueued) SkipOnError([&] { LaunchSingleFile(); });
  if (!menuQueued) {
    CloseSound(kBackgroundChannel);
    CloseSound(kMouseOverChannel);
    Sys().EndProgram();
  }
}
