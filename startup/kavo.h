// kavo.inf: six lines in the program's folder that say what the start-up shows, launches and plays.
#pragma once

#include "platform/text.h"

struct LaunchConfig {
  Text splashFlag;  // first character of line 1
  Text fileFlag;    // second character of line 1
  Text menuFlag;    // last character of line 1
  Text splashPicture;
  Text singleFile;  // the launch command of line 3
  Text menuPicture;
  Text backgroundSound;
  Text mouseOverSound;
};

// A flag is on only when its character is exactly "1".
inline bool IsOn(const Text& flag) {
  return flag == L"1";
}

// Reads the six lines. A missing file or a short one leaves the missing values empty; nothing is reported.
// The file is closed again before this returns.
LaunchConfig ReadLaunchConfig(const Text& appPath);
