// velmaro-design.exe [DISC]: the designer's entry. Without a folder it asks for one.
#include "platform/win32/win.h"
// after windows.h
#include <commctrl.h>
#include <objbase.h>
#include <stdlib.h>

#include "platform/win32/boundary.h"
#include "platform/win32/sysdll.h"
#include "tools/design/designer_window.h"

namespace {

// As the C runtime split the command line: CommandLineToArgvW would load the shell at every start.
Text FolderFromCommandLine() {
  return __wargv && __argc > 1 ? __wargv[1] : L"";
}

// Messages, and the disc's folder changing: one wait for both.
void RunMessages(DesignerWindow& window) {
  for (;;) {
    HANDLE change = window.FolderChange();
    DWORD waited = MsgWaitForMultipleObjectsEx(change ? 1 : 0, change ? &change : nullptr, INFINITE,
                                               QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (change && waited == WAIT_OBJECT_0) {
      window.FolderChanged();
      continue;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      if (TranslateAcceleratorW(window.hwnd(), window.Accelerators(), &message)) continue;
      if (window.HandleDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

int Run(HINSTANCE instance, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  DesignerWindow::RegisterClass(instance);
  DesignerWindow window(instance);
  if (!window.hwnd()) return 1;
  // A disc given is loaded before the window shows, so that its first paint is the page at its size.
  Text folder = FolderFromCommandLine();
  if (!folder.empty()) window.Open(folder);
  ShowWindow(window.hwnd(), show);
  // The page and the panes paint now, before the check that the load scheduled.
  RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (folder.empty()) window.AskForDisc();
  RunMessages(window);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  HardenDllSearch();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 1;
  Contained([&] { code = Run(instance, show); });
  CoUninitialize();
  return code;
}
