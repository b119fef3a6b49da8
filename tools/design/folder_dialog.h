// The system's folder dialog.
#pragma once

#include "platform/text.h"
#include "platform/win32/win.h"

// False when the author cancelled.
bool AskForFolder(HWND owner, Text& folder);
