// What the tools learn of a picture file the program may be asked to show.
#pragma once

#include <string>

#include "platform/platform.h"

struct PictureInfo {
  bool exists = false;
  bool decodes = false;
  bool shown = false;  // a format the program shows
  std::string format;  // as the decoder names it ("png", "wmf", ...)
  TwipSize size{0, 0};
};
