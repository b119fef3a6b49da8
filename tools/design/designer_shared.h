// What the designer window's units share: its name, its timers and the names of the two files.
#pragma once

#include "platform/win32/win.h"
#include "tools/design/disc_session.h"

constexpr wchar_t kProduct[] = L"Velmaro Designer";
constexpr UINT_PTR kSettleTimer = 1;  // a change on disk has settled
constexpr UINT_PTR kCheckTimer = 2;   // the check runs after the page has shown an edit
// The rest of the window is made once the page has painted and shown: a timer, as it waits for the window
// to be idle.
constexpr UINT_PTR kCompleteTimer = 3;

inline const wchar_t* FileName(ConfigFile kind) {
  return kind == ConfigFile::Menu ? L"menu.inf" : L"kavo.inf";
}
