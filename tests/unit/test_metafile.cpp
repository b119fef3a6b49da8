// The size a metafile declares, read from its first bytes as both the program and the author tools read it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/metafile.h"

namespace {

void Put32(std::vector<unsigned char>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}
void Put16(std::vector<unsigned char>& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<unsigned char>(v);
  b[at + 1] = static_cast<unsigned char>(v >> 8);
}

// An enhanced metafile whose frame is in hundredths of a millimetre.
std::vector<unsigned char> Emf(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  std::vector<unsigned char> b(44);
  Put32(b, 0, 1);  // EMR_HEADER
  Put32(b, 24, static_cast<uint32_t>(left));
  Put32(b, 28, static_cast<uint32_t>(top));
  Put32(b, 32, static_cast<uint32_t>(right));
  Put32(b, 36, static_cast<uint32_t>(bottom));
  Put32(b, 40, 0x464D4520);  // " EMF"
  return b;
}

// A placeable metafile: a bounding box in units of its own inch.
std::vector<unsigned char> Placeable(int16_t left,
                                     int16_t top,
                                     int16_t right,
                                     int16_t bottom,
                                     uint16_t inch) {
  std::vector<unsigned char> b(22);
  Put32(b, 0, 0x9AC6CDD7u);
  Put16(b, 6, static_cast<uint16_t>(left));
  Put16(b, 8, static_cast<uint16_t>(top));
  Put16(b, 10, static_cast<uint16_t>(right));
  Put16(b, 12, static_cast<uint16_t>(bottom));
  Put16(b, 14, inch);
  return b;
}

std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, std::size_t length) {
  bytes.resize(length);
  return bytes;
}

TEST(Metafile, SizeFromTheHeader) {
  const struct {
    const char* what;
    std::vector<unsigned char> header;
    bool known;
    float width, height;
  } cases[] = {
      {"EMF of 254 x 127 mm", Emf(0, 0, 25400, 12700), true, 14400, 7200},
      {"EMF whose frame starts off the origin", Emf(-1270, 2540, 1270, 5080), true, 1440, 1440},
      {"EMF of no size", Emf(100, 100, 100, 200), false, 0, 0},
      {"placeable WMF, 2 x 1 inches at 1440 a inch", Placeable(0, 0, 2880, 1440, 1440), true, 2880, 1440},
      {"placeable WMF at 576 units a inch", Placeable(10, 10, 586, 298, 576), true, 1440, 720},
      {"placeable WMF without an inch", Placeable(0, 0, 100, 100, 0), false, 0, 0},
      {"a PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0, 0, 0, 0, 0}, false, 0, 0},
      {"an EMF cut short", Cut(Emf(0, 0, 2540, 2540), 40), false, 0, 0},
  };
  for (const auto& c : cases) {
    TwipSize size{0, 0};
    EXPECT_EQ(MetafileFrame(c.header.data(), c.header.size(), &size), c.known) << c.what;
    if (!c.known) continue;
    EXPECT_FLOAT_EQ(size.width, c.width) << c.what;
    EXPECT_FLOAT_EQ(size.height, c.height) << c.what;
  }
}

}  // namespace
