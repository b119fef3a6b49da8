// The page view as screen readers see it, as they see the program's menu: each shown link a child in reading
// order, with its caption as name and its place on the screen as location; the selected link is the
// selected and, while the view has the keyboard, the focused child.
#pragma once

#include "platform/win32/win.h"

// Answers WM_GETOBJECT for the view's client object; `selected` gives the selected link (-1: none) and
// `select` selects one, for a reader's "Select".
LRESULT AnswerPageObject(HWND view,
                         WPARAM wParam,
                         LPARAM lParam,
                         int (*selected)(HWND),
                         void (*select)(HWND, int));
// The links shown changed (a page load).
void AnnouncePageLinks(HWND view);
// The selection moved to `link`.
void AnnouncePageSelection(HWND view, int link);
