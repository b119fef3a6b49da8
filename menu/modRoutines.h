// Menu pages: menu.inf turned into the labels of one page and the actions of their links.
#pragma once

#include <array>
#include <cstdint>

#include "platform/controls.h"
#include "platform/text.h"

// The stored action of each link: the action type's text, and for types that take one, a bar and the rest
// of the menu.inf line (the argument with its own bar). Written by page loads, never cleared.
extern std::array<Text, kLinkCount> linkActions;

void HideAllLinks();

// Hides every link, then reads menu.inf from its first line and sets up each link of `page`. The first
// malformed line ends the load with its error: links set up so far stay shown and menuReady stays false.
// Empty lines are skipped, so a file ending in a blank line still loads completely.
void LoadMenuPage(const int16_t& page);

// Where the last page load is, or stopped: the line of menu.inf (1-based, blank lines counted) and the
// field of that line it was using (1 page, 2 link index, ... 10 action type, 11 argument). Kept for tools
// that explain a disc to its author; the program itself never reads it.
struct LoadPosition {
  long line = 0;
  int field = 0;
};
LoadPosition LastLoadPosition();
