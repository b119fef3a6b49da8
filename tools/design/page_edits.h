// Edits of whole links and pages of menu.inf, each one step of undo: a new link, a copy, a deletion, and the
// same for pages.
#pragma once

#include <cstddef>

#include "tools/design/link_move.h"
#include "tools/edit/text_document.h"

// A new heading link "New link" on `page` at `at`, with the first free index, after the page's last line
// (at the file's end for a new page). Returns its index; -1 when the page's fifty links are all taken.
int AddLink(TextDocument& menu, int page, const TwipPoint& at, const Text& caption = L"New link");
// A copy of the link of line `line` (on `page`) right after it, with the first free index, at `at`.
// Returns its index; -1 when none is free.
int DuplicateLink(TextDocument& menu, std::size_t line, int page, const TwipPoint& at);
void DeleteLink(TextDocument& menu, std::size_t line);

// A new page after the last one, with one heading so that it exists. Returns its number.
int AddPage(TextDocument& menu);
// Every line of `page` copied to the end of the file for a new page. Returns the new page's number.
int DuplicatePage(TextDocument& menu, int page);
// Deletes every line of `page`. Returns how many.
std::size_t DeletePage(TextDocument& menu, int page);
