// kavo.inf's six lines as the start-up settings the author edits: the three switches of line 1 as the
// program reads them, and the five names.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "tools/edit/kavo_editor.h"

struct StartupSettings {
  bool splash = false;  // the first character of line 1 is "1"
  bool launch = false;  // its second
  bool menu = false;    // its last
  Text splashPicture, launchCommand, menuPicture, backgroundSound, mouseOverSound;
};

// `lines` as KavoEditor::Line gives them, in KavoLine order.
StartupSettings ReadStartupSettings(const std::array<Text, kKavoLineCount>& lines);

// The lines to rewrite to go from `before` to `after`, each with its new text: line 1 only when a switch
// changed (then as KavoEditor::SetFlags writes it), a name only when it changed. Applied in one group,
// they are one step of undo.
std::vector<std::pair<KavoLine, Text>> ChangedStartupLines(const StartupSettings& before,
                                                           const StartupSettings& after);
