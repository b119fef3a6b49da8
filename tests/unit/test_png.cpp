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
