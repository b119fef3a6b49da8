// The event boundaries: an error that reaches one abandons that event silently and the program runs on.
#include "platform/events.h"

#include "menu/frmMenu.h"
#include "menu/keyboard.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"

namespace events {

void MainLoad() {
  SkipOnError([] { frmMain.Form_Load(); });
}
void TimerTick() {
  SkipOnError([] { frmMain.tmrSS_Timer(); });
}
void MenuLoad() {
  SkipOnError([] { frmMenu.Form_Load(); });
}
void MenuActivate() {
  SkipOnError([] { frmMenu.Form_Activate(); });
}
void MenuUnload() {
  SkipOnError([] { frmMenu.Form_Unload(); });
}
void LabelClick(int16_t index) {
  SkipOnError([&] { frmMenu.lblLink_Click(index); });
}
void LabelMouseMove(int16_t index) {
  SkipOnError([&] { frmMenu.lblLink_MouseMove(index); });
}
void BackgroundMouseMove() {
  SkipOnError([] { frmMenu.pctBG_MouseMove(); });
}

void MenuKeyDown(MenuKey key) {
  SkipOnError([key] { menuKeyboard.KeyDown(key); });
}
bool MenuCharacter(wchar_t c) {
  bool claimed = false;
  SkipOnError([&] { claimed = menuKeyboard.Character(c); });
  return claimed;
}

void NewProcess() {
  frmMain = FrmMain{};
  frmMenu = FrmMenu{};
  menuKeyboard = MenuKeyboard{};
  linkActions.fill(Text());
  menuReady = false;
  FileClose();
  SetDecimalSeparator(L'.');
  ResetLabels();
}

}  // namespace events
