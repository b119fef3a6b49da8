// Which line of menu.inf sets up each link of a page, found as the page loader reads the file, so that an
// edit of a shown link goes to the line the program took it from.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "platform/controls.h"
#include "tools/edit/text_document.h"

constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

class PageLines {
 public:
  // Reads `document` (menu.inf) for `page` up to line `lastLine` (0-based; where the page load stopped,
  // when it did). The user's decimal separator must be set, as for a page load.
  PageLines(const TextDocument& document, int page, std::size_t lastLine = kNoLine);

  // The line (0-based, blank lines counted) of the link, or kNoLine. Where two lines set up the same link
  // the later one wins, as it does in the program; a line past the one that stops the page counts for none.
  std::size_t LineOf(int link) const;
  // The link a line sets up on this page, or -1.
  int LinkOf(std::size_t line) const;
  // The links no line sets up: the indexes a new link of the page may take.
  std::vector<int> FreeLinks() const;

 private:
  std::array<std::size_t, kLinkCount> lines_;
};

// Every page a line of menu.inf names with a whole number, in order.
std::vector<int> PagesOf(const TextDocument& document);
