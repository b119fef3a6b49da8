// The menu window's keys, translated into the logic's keyboard events, and the platform side of the
// keyboard: the focus mark and what screen readers are told.
#include "platform/win32/keyboard.h"

#include "platform/events.h"
#include "platform/win32/accessible.h"
#include "platform/win32/forms.h"
#include "platform/win32/win32_platform.h"

namespace {

bool KeyDown(WPARAM key, LPARAM flags) {
  using events::MenuKey;
  MenuKey menuKey;
  switch (key) {
    case VK_TAB:
      menuKey = GetKeyState(VK_SHIFT) < 0 ? MenuKey::Previous : MenuKey::Next;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      menuKey = MenuKey::Next;
      break;
    case VK_LEFT:
    case VK_UP:
      menuKey = MenuKey::Previous;
      break;
    case VK_HOME:
      menuKey = MenuKey::First;
      break;
    case VK_END:
      menuKey = MenuKey::Last;
      break;
    case VK_RETURN:
    case VK_SPACE:
      // A key held down performs once, not once per repeat.
      if (flags & (1L << 30)) return true;
      menuKey = MenuKey::Perform;
      break;
    default:
      return false;
  }
  Events().Let(MessageTime(), [menuKey] { events::MenuKeyDown(menuKey); });
  return true;
}

bool Character(WPARAM c) {
  bool claimed = false;
  Events().Let(MessageTime(), [&] { claimed = events::MenuCharacter(static_cast<wchar_t>(c)); });
  return claimed;
}

}  // namespace

bool HandleMenuKey(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      return KeyDown(wParam, lParam);
    case WM_CHAR:
      // Tab, Enter and Space came as keys already.
      if (wParam <= L' ') return true;
      Character(wParam);
      return true;
    case WM_SYSCHAR:
      // Alt+letter of no link is the system's (the window menu, a beep).
      return wParam > L' ' && Character(wParam);
  }
  return false;
}

void Win32Platform::KeyboardFocusChanged(int link, bool) {
  HWND menu = ExistingForm(Win::Menu);
  if (!menu) return;
  // The mark may have been anywhere; the box is composed off screen, so a whole repaint does not flicker.
  InvalidateRect(MenuBox().hwnd(), nullptr, FALSE);
  AnnounceFocus(menu, link);
}

void Win32Platform::LinksChanged() {
  Events().NewPageShown();
  if (HWND menu = ExistingForm(Win::Menu)) AnnounceLinks(menu);
}

wchar_t Win32Platform::UpperCase(wchar_t c) {
  return static_cast<wchar_t>(
      reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}
