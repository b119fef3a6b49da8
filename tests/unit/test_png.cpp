// PNG decoding for Windows without GDI+: what GDI's blits and AlphaBlend are given.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/png.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

std::vector<uint8_t> Encode(int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &png, width, height, channels, pixels.data(), width * channels);
  return png;
}

void Append32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  Append32(png, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFF;
  for (uint8_t byte : typed) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  png.insert(png.end(), typed.begin(), typed.end());
  Append32(png, ~crc);
}

// One row of 8-bit palette indices, in a zlib stream of one stored block.
std::vector<uint8_t> PalettePng(const std::vector<uint8_t>& palette, const std::vector<uint8_t>& indices) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Append32(header, static_cast<uint32_t>(indices.size()));
  Append32(header, 1);
  header.insert(header.end(), {8, 3, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "PLTE", palette);
  std::vector<uint8_t> row = {0};  // no filter
  row.insert(row.end(), indices.begin(), indices.end());
  const auto length = static_cast<uint16_t>(row.size());
  std::vector<uint8_t> zlib = {0x78,
                               0x01,
                               0x01,
                               static_cast<uint8_t>(length),
                               static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(~length),
                               static_cast<uint8_t>(~length >> 8)};
  zlib.insert(zlib.end(), row.begin(), row.end());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : row) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Append32(zlib, b << 16 | a);
  AppendChunk(png, "IDAT", zlib);
  AppendChunk(png, "IEND", {});
  return png;
}

// Leaves bytes other than zero where the decoder's locals will lie, as earlier calls would.
void __attribute__((noinline)) FillStack() {
  volatile uint8_t used[64 * 1024];
  for (auto& byte : used)
    byte = 0x5A;
}

std::vector<uint8_t> Bgra(const PremultipliedImage& image) {
  const uint8_t* p = image.pixels.get();
  return std::vector<uint8_t>(p, p + image.width * image.height * 4);
}

TEST(Png, EveryChannelLayoutComesOutAsPremultipliedBgra) {
  struct Case {
    const char* what;
    int channels;
    std::vector<uint8_t> pixels;  // two pixels, left to right
    bool opaque;
    std::vector<uint8_t> bgra;
  } cases[] = {
      {"grey", 1, {0, 200}, true, {0, 0, 0, 255, 200, 200, 200, 255}},
      {"grey with alpha", 2, {200, 255, 200, 0}, false, {200, 200, 200, 255, 0, 0, 0, 0}},
      {"RGB", 3, {255, 0, 0, 10, 20, 30}, true, {0, 0, 255, 255, 30, 20, 10, 255}},
      {"RGBA, half transparent",
       4,
       {200, 100, 50, 128, 0, 0, 255, 255},
       false,
       {25, 50, 100, 128, 255, 0, 0, 255}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> png = Encode(2, 1, c.channels, c.pixels);
    ASSERT_TRUE(IsPng(png.data(), png.size())) << c.what;
    PremultipliedImage image = DecodePng(png.data(), png.size());
    ASSERT_TRUE(image.pixels) << c.what;
    EXPECT_EQ(image.width, 2) << c.what;
    EXPECT_EQ(image.height, 1) << c.what;
    EXPECT_EQ(image.opaque, c.opaque) << c.what;
    EXPECT_EQ(Bgra(image), c.bgra) << c.what;
  }
}

TEST(Png, RowsRunTopDown) {
  std::vector<uint8_t> png = Encode(1, 2, 3, {255, 255, 255, 0, 0, 0});
  PremultipliedImage image = DecodePng(png.data(), png.size());
  ASSERT_TRUE(image.pixels);
  EXPECT_EQ(Bgra(image), (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 255}));
}

// A palette index past the file's palette has no colour: it is drawn black, the same on every load, never
// with whatever the decoder's memory held.
TEST(Png, AnIndexPastThePaletteIsOpaqueBlack) {
  const std::vector<uint8_t> png = PalettePng({255, 0, 0, 0, 0, 255}, {0, 1, 2, 200});
  for (int load = 0; load < 3; ++load) {
    FillStack();
    PremultipliedImage image = DecodePng(png.data(), png.size());
    ASSERT_TRUE(image.pixels);
    EXPECT_TRUE(image.opaque);
    EXPECT_EQ(Bgra(image),
              (std::vector<uint8_t>{0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
  }
}

// The decoder reads up to IEND: what follows it does not matter, a chunk before it that runs past the end of
// the file (here one that claims 2 GB) leaves no picture.
TEST(Png, ChunksCountUpToIend) {
  const std::vector<uint8_t> png = Encode(2, 2, 3, std::vector<uint8_t>(12, 90));
  const std::size_t iend = png.size() - 12;
  std::vector<uint8_t> trailing = png;
  trailing.insert(trailing.end(), {0x7F, 0xFF, 0xFF, 0xFF, 'z', 'z', 'z', 'z', 1, 2, 3});
  std::vector<uint8_t> iendLong = png;
  iendLong[iend] = 0x40;  // IEND's length is never read
  std::vector<uint8_t> cutOff(png.begin(), png.begin() + static_cast<long>(iend));
  cutOff.insert(cutOff.end(), {0x7F, 0xFF, 0xFF, 0xF0, 'I', 'D', 'A', 'T', 0x78, 0x01});
  const struct {
    const char* what;
    const std::vector<uint8_t>& bytes;
    bool shows;
  } cases[] = {
      {"as written", png, true},
      {"bytes after IEND", trailing, true},
      {"a length in IEND", iendLong, true},
      {"an IDAT of 2 GB in a file of a few bytes", cutOff, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodePng(c.bytes.data(), c.bytes.size()).pixels != nullptr, c.shows) << c.what;
}

TEST(Png, WhatIsNoWholePngDecodesToNothing) {
  std::vector<uint8_t> png = Encode(4, 4, 3, std::vector<uint8_t>(48, 90));
  const std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> truncated(png.begin(), png.begin() + static_cast<long>(png.size() / 2));
  std::vector<uint8_t> damaged = png;
  damaged[20] ^= 0xFF;  // the width in the header
  for (const auto& bytes : {bmp, truncated, damaged, std::vector<uint8_t>()}) {
    PremultipliedImage image = DecodePng(bytes.data(), bytes.size());
    EXPECT_FALSE(image.pixels) << bytes.size() << " bytes";
  }
  EXPECT_FALSE(IsPng(bmp.data(), bmp.size()));
}

}  // namespace
