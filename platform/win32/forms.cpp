// Creation, sizing, showing and the window procedure of the three windows, and the timer.
#include "platform/win32/forms.h"

#include <memory>

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/events.h"
#include "platform/win32/accessible.h"
#include "platform/win32/dpi.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr UINT_PTR kSplashTimer = 1;
constexpr UINT kSplashInterval = 3000;
constexpr int kIconId = 1;

struct FormDesign {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle;
  TwipSize inner;
};

// Tool windows get no taskbar button. The fixed tool frame is a dialog frame with a small caption and only
// a close box; no thick frame, so the user cannot resize it.
const FormDesign kMainDesign{L"VelmaroMain",
                             L"Velmaro",
                             WS_CAPTION | WS_SYSMENU,
                             WS_EX_TOOLWINDOW,
                             {1050, 495}};
const FormDesign kSplashDesign{L"VelmaroSplash",
                               L"",
                               WS_POPUP | WS_CLIPCHILDREN,
                               WS_EX_TOOLWINDOW,
                               {2115, 1620}};
const FormDesign kMenuDesign{L"VelmaroMenu",
                             L"",
                             WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                             WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE,
                             {5400, 3585}};

struct FormState {
  const FormDesign* design = nullptr;
  HWND hwnd = nullptr;
  TwipSize inner{0, 0};
  std::unique_ptr<PictureBox> box;
  bool shownOnce = false;
};

// The windows live until the process ends; ExitProcess never runs their destructors.
HINSTANCE instance = nullptr;
FormState* forms[3] = {};
bool timerOn = false;

FormState*& Slot(Win window) {
  return forms[static_cast<int>(window)];
}

FormState& FormOf(HWND hwnd) {
  return *reinterpret_cast<FormState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Sizes the window so that its client area is the form's inner size at this DPI.
void ApplyInnerSize(const FormState& form, unsigned dpi, const POINT* topLeft = nullptr) {
  RECT r{0, 0, TwipsToPixels(form.inner.width, dpi), TwipsToPixels(form.inner.height, dpi)};
  AddFrame(&r, form.design->style, form.design->exStyle, dpi);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE);
  SetWindowPos(form.hwnd, nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0, r.right - r.left,
               r.bottom - r.top, flags);
}

void CloseRequested(Win window) {
  // Only the menu can be closed by the user; the close key on the splash must not destroy it.
  if (window != Win::Menu) return;
  RaiseEvent([] { events::MenuUnload(); });
  // The unload is never cancelled: should the logic come back, the program still ends.
  ExitProcess(0);
}

Win WhichForm(const FormState& form) {
  if (form.design == &kSplashDesign) return Win::Splash;
  if (form.design == &kMenuDesign) return Win::Menu;
  return Win::Main;
}

LRESULT HandleForm(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<FormState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  if (!GetWindowLongPtrW(hwnd, GWLP_USERDATA)) return DefWindowProcW(hwnd, message, wParam, lParam);
  FormState& form = FormOf(hwnd);
  switch (message) {
    case WM_TIMER:
      if (wParam == kSplashTimer) RaiseEvent([] { events::TimerTick(); });
      return 0;
    case WM_CLOSE:
      CloseRequested(WhichForm(form));
      return 0;
    case WM_DPICHANGED: {
      // Keep the inner size in twips on the new monitor; the suggested rectangle gives the place. Every
      // size from here on, the labels' measures included, is taken at the announced DPI: the monitor's
      // query would still answer for the old monitor until the window has moved.
      unsigned dpi = HIWORD(wParam);
      AnnounceDpi(hwnd, dpi);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      POINT topLeft{suggested->left, suggested->top};
      ApplyInnerSize(form, dpi, &topLeft);
      if (form.box) form.box->Relayout();
      if (WhichForm(form) == Win::Menu) RemeasureLabels();
      return 0;
    }
    case WM_GETMINMAXINFO: {
      // A captioned window has a minimum width by default; a small picture must still get a client area
      // of exactly its size.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = POINT{1, 1};
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      if (form.box) form.box->Relayout();
      break;
  }
  if (WhichForm(form) == Win::Menu) {
    switch (message) {
      case WM_KEYDOWN:
      case WM_CHAR:
      case WM_SYSCHAR:
        if (HandleMenuKey(hwnd, message, wParam, lParam)) return 0;
        break;
      case WM_GETOBJECT:
        return AnswerGetObject(hwnd, wParam, lParam);
      case WM_SETFOCUS:
        AnnounceFocus(hwnd, menuKeyboard.focus);
        return 0;
      case kAccessibleClick: {
        auto link = static_cast<int16_t>(wParam);
        auto page = static_cast<uint32_t>(lParam);
        if (link >= 0 && link < kLinkCount && lblLink(link).Visible())
          Events().LetClick(MessageTime(), page, [link] { events::LabelClick(link); });
        return 0;
      }
      case WM_ENABLE:
        // A message box it owns comes or goes: the links' state changes for screen readers.
        AnnounceAvailability(hwnd);
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  return Contained([&] { result = HandleForm(hwnd, message, wParam, lParam); }) ? result : 0;
}

// Nothing shown and no timer: no message could ever reach the logic again.
bool Stalled() {
  for (const FormState* form : forms) {
    if (form && IsWindowVisible(form->hwnd)) return false;
  }
  return !timerOn;
}

[[noreturn]] void EndAfterFailure() {
  ExitProcess(1);
}

class Win32Gate final : public GateSystem {
 public:
  bool MenuDisabled() override {
    HWND menu = ExistingForm(Win::Menu);
    return menu && !IsWindowEnabled(menu);
  }
  uint32_t Tick() override { return GetTickCount(); }
  void DiscardQueuedInput() override {
    // Until a look finds nothing: such a look first takes in input the system had not queued yet.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_NOYIELD) ||
           PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD) ||
           PeekMessageW(&message, nullptr, kAccessibleClick, kAccessibleClick, PM_REMOVE | PM_NOYIELD)) {
    }
  }
};

void RegisterFormClass(const FormDesign& design, HBRUSH background, HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = design.className;
  RegisterClassExW(&wc);
}

FormState* NewForm(const FormDesign& design, HWND owner) {
  auto* form = new FormState;
  form->design = &design;
  form->inner = design.inner;
  unsigned dpi = SystemDpi();
  RECT r{0, 0, TwipsToPixels(design.inner.width, dpi), TwipsToPixels(design.inner.height, dpi)};
  AddFrame(&r, design.style, design.exStyle, dpi);
  // CW_USEDEFAULT is the system's default place for overlapped windows; popups start at the origin.
  bool popup = (design.style & WS_POPUP) != 0;
  int x = popup ? 0 : CW_USEDEFAULT, y = popup ? 0 : CW_USEDEFAULT;
  CreateWindowExW(design.exStyle, design.className, design.caption, design.style, x, y, r.right - r.left,
                  r.bottom - r.top, owner, nullptr, instance, form);
  if (!form->hwnd) {
    delete form;
    return nullptr;
  }
  // The monitor it opened on may have another DPI than the system.
  ApplyInnerSize(*form, WindowDpi(form->hwnd));
  return form;
}

FormState& Need(Win window) {
  FormState*& slot = Slot(window);
  if (slot) return *slot;
  HWND owner = ExistingForm(Win::Main);
  switch (window) {
    case Win::Main:
      slot = NewForm(kMainDesign, nullptr);
      break;
    case Win::Splash:
      slot = NewForm(kSplashDesign, owner);
      if (slot) slot->box.reset(new PictureBox(slot->hwnd, {1215, 495}, COLOR_WINDOW, false));
      break;
    case Win::Menu:
      slot = NewForm(kMenuDesign, owner);
      if (slot) {
        slot->box.reset(new PictureBox(slot->hwnd, {5415, 3615}, COLOR_BTNFACE, true));
        RaiseEvent([] { events::MenuLoad(); });
      }
      break;
  }
  // Without its window the program cannot go on; this is no error the logic could skip.
  if (!slot) ExitProcess(1);
  return *slot;
}

}  // namespace

EventGate& Events() {
  static Win32Gate system;
  static EventGate gate(system, Stalled, EndAfterFailure);
  return gate;
}

uint32_t MessageTime() {
  return static_cast<uint32_t>(GetMessageTime());
}

bool CreateMainForm(HINSTANCE programInstance) {
  instance = programInstance;
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  RegisterFormClass(kMainDesign, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon);
  RegisterFormClass(kSplashDesign, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
  RegisterFormClass(kMenuDesign, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  PictureBox::RegisterClass(instance);
  Slot(Win::Main) = NewForm(kMainDesign, nullptr);
  return Slot(Win::Main) != nullptr;
}

HWND Form(Win window) {
  return Need(window).hwnd;
}

HWND ExistingForm(Win window) {
  FormState* form = Slot(window);
  return form ? form->hwnd : nullptr;
}

PictureBox& BoxOf(Box box) {
  return *Need(box == Box::SS ? Win::Splash : Win::Menu).box;
}

void Win32Platform::LoadPictureFile(Box box, const Text& path) {
  BoxOf(box).Load(path);
}

TwipSize Win32Platform::BoxSize(Box box) {
  return BoxOf(box).Size();
}

void Win32Platform::SetInnerSize(Win window, TwipSize inner) {
  FormState& form = Need(window);
  form.inner = inner;
  ApplyInnerSize(form, WindowDpi(form.hwnd));
}

TwipSize Win32Platform::WindowSize(Win window) {
  HWND hwnd = Form(window);
  RECT r;
  GetWindowRect(hwnd, &r);
  // For placing on the desktop, so in the DPI that MoveWindow and the screen's size use: centring must not
  // mix the window's DPI with the system's.
  unsigned dpi = SystemDpi();
  return TwipSize{PixelsToTwips(r.right - r.left, dpi), PixelsToTwips(r.bottom - r.top, dpi)};
}

void Win32Platform::MoveWindow(Win window, float left, float top) {
  // Desktop coordinates, so the DPI that ScreenWidth and ScreenHeight use.
  unsigned dpi = SystemDpi();
  SetWindowPos(Form(window), nullptr, TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::ShowWindow(Win window) {
  FormState& form = Need(window);
  ::ShowWindow(form.hwnd, SW_SHOW);
  // The menu takes the keys as soon as it is there.
  if (window == Win::Menu) SetFocus(form.hwnd);
  bool first = !form.shownOnce;
  form.shownOnce = true;
  // The menu becomes the program's active window once, when it first appears; focus coming back later
  // from another program is no activation of it.
  if (window == Win::Menu && first) RaiseEvent([] { events::MenuActivate(); });
}

void Win32Platform::HideWindow(Win window) {
  ::ShowWindow(Form(window), SW_HIDE);
}

void Win32Platform::EnableTimer(bool enabled) {
  HWND main = Form(Win::Main);
  timerOn = enabled;
  if (enabled) {
    SetTimer(main, kSplashTimer, kSplashInterval, nullptr);
  } else {
    KillTimer(main, kSplashTimer);
  }
}
