#include "platform/system_colors.h"

#include "platform/controls.h"

uint32_t DefaultSystemColor(int index) {
  // As a fresh Windows 10 shows them.
  static const uint32_t kColors[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
  };
  if (index < 0 || index >= static_cast<int>(sizeof kColors / sizeof kColors[0])) return 0;
  return kColors[index];
}

uint32_t ColorValue(int32_t color) {
  if (IsSystemColor(color)) return DefaultSystemColor(SystemColorIndex(color));
  return static_cast<uint32_t>(color) & 0x00FFFFFF;
}
