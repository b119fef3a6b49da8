// The program's entry: closes the DLL search paths, starts COM, installs the Win32 platform, creates the
// hidden frmMain, runs its load step (the start-up sequence) and then delivers messages until the program
// ends itself.
#include <objbase.h>

#include "platform/events.h"
#include "platform/win32/boundary.h"
#include "platform/win32/forms.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/win32_platform.h"

// What std::terminate calls. The library's own prints a demangled type name to a console that a GUI
// program has not got (and the demangler alone is 46 KB of the exe); a program that cannot go on ends.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  ExitProcess(3);
}
}  // namespace __gnu_cxx

namespace {

// The shell hands documents to DDE and COM handlers on this thread and expects a single-threaded apartment
// here; the OLE picture loader needs COM as well. Never uninitialised: the program ends by ExitProcess.
void StartCom() {
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  if (auto coInitializeEx = SystemProc<CoInitializeExFn>("ole32.dll", "CoInitializeEx")) {
    coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  }
}

int Run(HINSTANCE instance) {
  static Win32Platform platform;
  SetPlatform(&platform);
  if (!CreateMainForm(instance)) return 1;

  RaiseEvent([] { events::MainLoad(); });

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // First of all, before anything loads a DLL by name: keep the disc beside the program and the current
  // folder out of the search as far as this Windows allows (sysdll.h).
  HardenDllSearch();
  StartCom();
  int code = 1;
  // Whatever escapes (the window procedures catch their own) ends the program rather than leaving it hidden.
  return Contained([&] { code = Run(instance); }) ? code : 1;
}
