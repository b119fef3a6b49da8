// The modal dialog of the start-up settings (kavo.inf): the splash, the launch and the menu as three
// switches, the two pictures, the launch command and the two sounds, each file with a Browse button.
#pragma once

#include <optional>

#include "platform/text.h"
#include "platform/win32/win.h"
#include "tools/design/startup_settings.h"

// The settings as the author left them on OK; none on Cancel. ChangedStartupLines says what to write.
std::optional<StartupSettings> EditStartupSettings(HWND owner,
                                                   const Text& discFolder,
                                                   const StartupSettings& current);
