// Windows' default system colours, for the platforms that draw links without Windows (the author tools'
// preview, the Linux front end): a link coloured "&H80000012" looks as it does on a fresh Windows.
#pragma once

#include <cstdint>

// The colour of system colour `index` as 0x00BBGGRR; black for an index Windows does not define.
uint32_t DefaultSystemColor(int index);

// A link's colour value (platform/controls.h) as 0x00BBGGRR: direct, or the system colour it names.
uint32_t ColorValue(int32_t color);

constexpr int kSysColorWindow = 5;
constexpr int kSysColorButtonFace = 15;
