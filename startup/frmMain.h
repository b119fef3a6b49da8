// The start-up window: never shown; it holds the start-up state and the splash timer.
#pragma once

#include "platform/text.h"

struct FrmMain {
  bool splashOn = false;    // the splash has been shown
  bool fileQueued = false;  // the single-file launch waits for the splash timer
  bool menuQueued = false;  // the menu waits for the splash timer
  bool bgSound = false;     // a background sound was named, and its open sent
  bool moSound = false;     // a mouse-over sound was named, and its open sent
  Text sSingle;             // the single-file launch command
  Text appPath;             // the program's folder, always ending in a backslash

  // The start-up sequence. A failing step is abandoned silently and the next one runs.
  void Form_Load();
  // The one firing of the splash timer: hide the splash, then show the menu or end.
  void tmrSS_Timer();
};

extern FrmMain frmMain;
