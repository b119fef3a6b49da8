// Keyboard use of the menu window. A keyboard highlight walks the shown links in reading order and lights
// them through the pointer's own hover steps, so colours, the mouse-over sound and the rules of a broken
// page are the same whether a person points or presses keys, and only one link is ever lit.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/events.h"
#include "platform/text.h"

struct MenuKeyboard {
  int16_t focus = -1;   // the link the keyboard is on, or -1 before the first key of a page
  bool marked = false;  // a key has been used: the focus mark shows from then on, as in dialogs

  void KeyDown(events::MenuKey key);
  bool Character(wchar_t c);
  // A page load begins: the keyboard starts over on the new page.
  void NewPage();

 private:
  void MoveTo(int16_t link);
  void Changed(int16_t before, bool wasMarked);
};

extern MenuKeyboard menuKeyboard;

// The shown links top to bottom, then left to right; links at the same place by link number.
std::vector<int16_t> ReadingOrder();

// The character after the caption's single "&", or 0 when it has none.
wchar_t AccessKeyOf(const Text& caption);

// The link the focus mark is drawn around, or -1: the keyboard's link once a key has been used.
int KeyboardMark();

// The link lit now, by the pointer or the keyboard, or -1.
int HighlightedLink();
