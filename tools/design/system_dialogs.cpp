#include "tools/design/system_dialogs.h"

#include "platform/win32/sysdll.h"

BOOL ShowFontDialog(CHOOSEFONTW* dialog) {
  static auto show = SystemProc<BOOL(WINAPI*)(CHOOSEFONTW*)>("comdlg32.dll", "ChooseFontW");
  return show ? show(dialog) : FALSE;
}

BOOL ShowColourDialog(CHOOSECOLORW* dialog) {
  static auto show = SystemProc<BOOL(WINAPI*)(CHOOSECOLORW*)>("comdlg32.dll", "ChooseColorW");
  return show ? show(dialog) : FALSE;
}

BOOL ShowOpenFileDialog(OPENFILENAMEW* dialog) {
  static auto show = SystemProc<BOOL(WINAPI*)(OPENFILENAMEW*)>("comdlg32.dll", "GetOpenFileNameW");
  return show ? show(dialog) : FALSE;
}

PIDLIST_ABSOLUTE ShowFolderBrowser(BROWSEINFOW* info) {
  static auto show = SystemProc<PIDLIST_ABSOLUTE(WINAPI*)(BROWSEINFOW*)>("shell32.dll", "SHBrowseForFolderW");
  return show ? show(info) : nullptr;
}

BOOL PathFromItemList(PCIDLIST_ABSOLUTE list, wchar_t* path) {
  static auto get =
      SystemProc<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR)>("shell32.dll", "SHGetPathFromIDListW");
  return get ? get(list, path) : FALSE;
}
