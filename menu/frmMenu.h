// The menu window: its links' actions and the hover highlighting. One link is highlighted at a time, and a
// highlight ends only when the pointer moves over the background picture.
#pragma once

#include <cstdint>

#include "platform/text.h"

struct FrmMenu {
  bool changeMO = false;  // a link is highlighted
  int16_t lastMO = 0;     // which one; meaningful only while changeMO is true

  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void lblLink_Click(int16_t index);
  void lblLink_MouseMove(int16_t index);
  void pctBG_MouseMove();

  // Performs the stored action of a link.
  void ExecuteAction(const int16_t& Index);
};

extern FrmMenu frmMenu;

Text MissingSoundMessage(const Text& file);
extern const Text kMissingSoundTitle;

// Exchanges a link's text colour with the colour held as text in its Tag. A Tag that is not a number stops
// the exchange before anything changes.
void ExchangeColors(int16_t index);
