// The link panel's controls, shared by its window and its fields.
#pragma once

#include <climits>

#include "platform/win32/win.h"

enum ControlId {
  kPageShownLabel = 100,
  kPageShown,
  kAddPage,
  kDuplicatePage,
  kDeletePage,
  kLinkStatus,
  kAddLink,
  kDuplicateLink,
  kDeleteLink,
  kCaptionLabel,
  kCaption,
  kCaptionHint,
  kFontLabel,
  kFont,
  kColour,
  kHighlight,
  kActionLabel,
  kAction,
  kArgumentLabel,
  kArgument,
  kBrowse,
  kArgumentHint,
  kLinkIndexLabel,
  kLinkIndex,
  kLinkPageLabel,
  kLinkPage,
  kStartup,
};

// A combo entry that keeps a field as written (no number the list holds): choosing it is no edit.
constexpr LPARAM kAsWritten = INT_MIN;
constexpr UINT kCommitComboMessage = WM_APP + 1;
