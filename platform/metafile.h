// The size a metafile declares in its header, read the same way wherever a picture is sized.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// The frame of an enhanced metafile (HIMETRIC) or the bounding box of a placeable one (in units of its own
// inch), in twips, from the first bytes of the file (44 are enough). False for anything else.
bool MetafileFrame(const unsigned char* header, std::size_t length, TwipSize* size);
