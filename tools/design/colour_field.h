// The colour and highlight fields of a link: how the program turns their text into a colour on screen, and
// the text a colour chosen by the author is written as.
#pragma once

#include <cstdint>

#include "platform/text.h"

struct ColourField {
  bool readable =
      false;          // a number the program takes: else the page stops (colour) or never lights (highlight)
  int32_t value = 0;  // as the program reads it
  bool system = false;  // a negative value: one of the system's colours, whatever the user set it to
  int systemIndex = 0;  // its number, the value's low byte
  uint32_t bgr = 0;     // 0x00BBGGRR drawn, when not a system colour (the top byte is ignored)
};

ColourField ReadColourField(const Text& field);

// The decimal 0x00BBGGRR of a colour given as red, green and blue.
Text ColourFieldText(uint8_t red, uint8_t green, uint8_t blue);
uint32_t BgrOf(uint8_t red, uint8_t green, uint8_t blue);

// After the colour dialog: nothing to write when the chosen colour is the one shown (`shownBgr`, a system
// colour already looked up), so a system colour or a number written another way stays as written; else the
// new decimal text.
bool ColourChanged(const ColourField& field, uint32_t shownBgr, uint32_t chosenBgr);

// What the author reads beside a swatch: "16777215", "system colour 18: button text", "not a number".
Text DescribeColourField(const Text& field);
// The name of a system colour by its number ("window text"); empty for a number the system does not have.
const wchar_t* SystemColourName(int index);
