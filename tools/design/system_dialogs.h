// The common dialogs and the shell's folder browser, bound when first shown: imported, comdlg32 and shell32
// (and what they load) would be loaded with the window and add to every start-up. Like the program, they are
// loaded from the system folder only. Each answers as the system call does, and as cancelled when the
// system has no such call.
#pragma once

#include "platform/win32/win.h"
// after windows.h
#include <commdlg.h>
#include <shlobj.h>

BOOL ShowFontDialog(CHOOSEFONTW* dialog);
BOOL ShowColourDialog(CHOOSECOLORW* dialog);
BOOL ShowOpenFileDialog(OPENFILENAMEW* dialog);
PIDLIST_ABSOLUTE ShowFolderBrowser(BROWSEINFOW* info);
BOOL PathFromItemList(PCIDLIST_ABSOLUTE list, wchar_t* path);  // SHGetPathFromIDListW
