#include "platform/metafile.h"

#include <cstdint>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr uint32_t kEmrHeader = 1, kEnhMetaSignature = 0x464D4520, kPlaceableKey = 0x9AC6CDD7u;

}  // namespace

bool MetafileFrame(const unsigned char* header, std::size_t length, TwipSize* size) {
  auto u32 = [&](int at) {
    return static_cast<uint32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                 static_cast<uint32_t>(header[at + 3]) << 24);
  };
  auto i32 = [&](int at) { return static_cast<int32_t>(u32(at)); };
  auto i16 = [&](int at) { return static_cast<int16_t>(header[at] | header[at + 1] << 8); };
  if (length >= 44 && u32(0) == kEmrHeader && u32(40) == kEnhMetaSignature) {
    // rclFrame: left, top, right, bottom at offset 24, in hundredths of a millimetre.
    double width = static_cast<double>(i32(32)) - i32(24), height = static_cast<double>(i32(36)) - i32(28);
    if (width <= 0 || height <= 0) return false;
    *size = TwipSize{static_cast<float>(width * kTwipsPerInch / 2540.0),
                     static_cast<float>(height * kTwipsPerInch / 2540.0)};
    return true;
  }
  if (length >= 16 && u32(0) == kPlaceableKey) {
    double width = i16(10) - i16(6), height = i16(12) - i16(8);
    double inch = static_cast<uint16_t>(header[14] | header[15] << 8);
    if (width <= 0 || height <= 0 || inch <= 0) return false;
    *size = TwipSize{static_cast<float>(width * kTwipsPerInch / inch),
                     static_cast<float>(height * kTwipsPerInch / inch)};
    return true;
  }
  return false;
}
