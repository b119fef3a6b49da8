// The three sound channels: multimedia command strings on fixed aliases. Fire and forget: no result is
// looked at and a sound that cannot be played is simply not heard.
#pragma once

#include "platform/text.h"

extern const Text kBackgroundChannel;  // mciBG
extern const Text kMouseOverChannel;   // mciMO
extern const Text kLinkChannel;        // mciExtra

// open "<path>" type waveaudio alias <channel>; the quotes let the path hold blanks.
void OpenSound(const Text& path, const Text& channel);
// seek <channel> to start, then play <channel>: every start plays from the beginning.
void PlaySound(const Text& channel);
void CloseSound(const Text& channel);
