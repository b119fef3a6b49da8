#include "menu/frmMenu.h"

#include "launch/launch.h"
#include "menu/fields.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "sound/modSound.h"
#include "startup/frmMain.h"

FrmMenu frmMenu;

const Text kMissingSoundTitle = L"Sound File Not Found";

Text MissingSoundMessage(const Text& file) {
  return NotOnDiscMessage(L"play", file);
}

void FrmMenu::Form_Load() {
  changeMO = false;
  lastMO = 0;
}

void FrmMenu::Form_Activate() {
  if (frmMain.bgSound) PlaySound(kBackgroundChannel);
}

void FrmMenu::Form_Unload() {
  CloseSound(kBackgroundChannel);
  CloseSound(kMouseOverChannel);
  Sys().EndProgram();
}

void FrmMenu::lblLink_Click(int16_t index) {
  ExecuteAction(index);
}

void ExchangeColors(int16_t index) {
  Label& label = lblLink(index);
  Text previous = ToDecimalText(label.ForeColor());
  label.SetForeColor(ToInt32(label.Tag()));
  label.SetTag(previous);
}

void FrmMenu::lblLink_MouseMove(int16_t index) {
  if (changeMO) return;
  if (frmMain.moSound) PlaySound(kMouseOverChannel);
  if (!menuReady) return;
  ExchangeColors(index);
  changeMO = true;
  lastMO = index;
}

void FrmMenu::pctBG_MouseMove() {
  if (!(changeMO && menuReady)) return;
  ExchangeColors(lastMO);
  changeMO = false;
}

void FrmMenu::ExecuteAction(const int16_t& Index) {
  if (Index < 0 || Index >= kLinkCount) throw AppError(ErrorKind::SubscriptOutOfRange);
  Text argument = linkActions[static_cast<std::size_t>(Index)];
  Text type;
  NextField(type, argument);
  if (!argument.empty()) argument.pop_back();

  const Text& appPath = frmMain.appPath;
  double typeValue = ToDouble(type);
  if (typeValue == 0) {
    LaunchCommand(Owner::Menu, argument);
  } else if (typeValue == 1) {
    Sys().ShellExecuteA(Owner::Menu, L"open", argument, Text());
  } else if (typeValue == 2) {
    Sys().ShellExecuteA(Owner::Menu, L"open", L"mailto:" + argument, Text());
  } else if (typeValue == 3) {
    Sys().ShellExecuteA(Owner::Menu, L"open", appPath + argument, Text());
  } else if (typeValue == 4) {
    Sys().ShellExecuteA(Owner::Menu, L"open", appPath, Text());
  } else if (typeValue == 5) {
    int16_t page = ToInt16(argument);
    LoadMenuPage(page);
  } else if (typeValue == 6) {
    CloseSound(kLinkChannel);
    CloseSound(kBackgroundChannel);
    CloseSound(kMouseOverChannel);
    Sys().EndProgram();
  } else if (typeValue == 8) {
    CloseSound(kLinkChannel);
    OpenSound(appPath + argument, kLinkChannel);
    if (Sys().FileExists(appPath + argument))
      PlaySound(kLinkChannel);
    else
      Sys().ShowCriticalMessage(MissingSoundMessage(argument), kMissingSoundTitle);
  }
}
