// The style field of a link: its first character the bold flag, its second the italic flag, the rest the
// size in points, read as the page loader reads them.
#pragma once

#include "platform/text.h"

struct StyleField {
  bool readable = false;  // else the page stops at this line
  bool bold = false;
  bool italic = false;
  float points = 0;
  Text sizeText;  // the size as written
};

StyleField ReadStyleField(const Text& field);

// The field after a font choice of whole points. What did not change keeps its text ("2" stays a bold
// flag, "012" stays 12 points), so only what the author changed is rewritten.
Text StyleFieldAfterChoice(const Text& original, bool bold, bool italic, int points);

// Font sizes go into the file as whole points: a fraction would be read by each user's decimal separator.
int WholePoints(int tenthsOfPoint);
