#include "menu/keyboard.h"

#include <algorithm>

#include "menu/frmMenu.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/platform.h"

MenuKeyboard menuKeyboard;

std::vector<int16_t> ReadingOrder() {
  std::vector<int16_t> order;
  for (int i = 0; i < kLinkCount; ++i)
    if (lblLink(i).Visible()) order.push_back(static_cast<int16_t>(i));
  // Stable: links at the same place stay in link order.
  std::stable_sort(order.begin(), order.end(), [](int16_t a, int16_t b) {
    const Label &la = lblLink(a), &lb = lblLink(b);
    if (la.Top() != lb.Top()) return la.Top() < lb.Top();
    return la.Left() < lb.Left();
  });
  return order;
}

wchar_t AccessKeyOf(const Text& caption) {
  int key = -1;
  Text shown = ShownCaption(caption, &key);
  return key < 0 ? L'\0' : shown[static_cast<std::size_t>(key)];
}

int KeyboardMark() {
  int link = menuKeyboard.focus;
  return menuKeyboard.marked && link >= 0 && lblLink(link).Visible() ? link : -1;
}

int HighlightedLink() {
  return frmMenu.changeMO ? frmMenu.lastMO : -1;
}

void MenuKeyboard::Changed(int16_t before, bool wasMarked) {
  if (focus != before || marked != wasMarked) Sys().KeyboardFocusChanged(focus, marked);
}

void MenuKeyboard::MoveTo(int16_t link) {
  if (link == focus && HighlightedLink() == link) return;
  int16_t before = focus;
  focus = link;
  Changed(before, marked);
  // As the pointer would go: off the old link over the background, then onto the new one. Each step is a
  // pointer event of its own, abandoned alone when it fails (a highlight colour that is no number).
  SkipOnError([] { frmMenu.pctBG_MouseMove(); });
  SkipOnError([link] { frmMenu.lblLink_MouseMove(link); });
}

void MenuKeyboard::KeyDown(events::MenuKey key) {
  using events::MenuKey;
  bool wasMarked = marked;
  marked = true;
  Changed(focus, wasMarked);
  std::vector<int16_t> order = ReadingOrder();
  if (order.empty()) return;
  auto n = static_cast<std::ptrdiff_t>(order.size());
  std::ptrdiff_t at = std::find(order.begin(), order.end(), focus) - order.begin();
  std::ptrdiff_t to = 0;
  switch (key) {
    case MenuKey::Perform:
      // Before the first move of a page the keyboard is on no link, and Enter chooses nothing.
      if (at < n) frmMenu.lblLink_Click(focus);
      return;
    case MenuKey::Next:
      to = at == n ? 0 : (at + 1) % n;
      break;
    case MenuKey::Previous:
      to = at == n ? n - 1 : (at + n - 1) % n;
      break;
    case MenuKey::First:
      to = 0;
      break;
    case MenuKey::Last:
      to = n - 1;
      break;
  }
  MoveTo(order[static_cast<std::size_t>(to)]);
}

bool MenuKeyboard::Character(wchar_t c) {
  wchar_t key = Sys().UpperCase(c);
  std::vector<int16_t> claims;
  for (int16_t link : ReadingOrder()) {
    wchar_t own = AccessKeyOf(lblLink(link).Caption());
    if (own && Sys().UpperCase(own) == key) claims.push_back(link);
  }
  if (claims.empty()) return false;
  bool wasMarked = marked;
  marked = true;
  Changed(focus, wasMarked);
  if (claims.size() == 1) {
    frmMenu.lblLink_Click(claims.front());
    return true;
  }
  // Several links share the letter: it goes from one to the next, as in dialogs, and Enter chooses.
  auto at = std::find(claims.begin(), claims.end(), focus);
  MoveTo(at == claims.end() || at + 1 == claims.end() ? claims.front() : *(at + 1));
  return true;
}

void MenuKeyboard::NewPage() {
  int16_t before = focus;
  focus = -1;
  Changed(before, marked);
}
