// Every PNG picture, decoded by stb_image into the pixel layout GDI draws: an opaque one is then drawn by
// plain GDI, and a transparent one too where GDI+ is missing (Windows XP keeps it outside the system folder).
// No system header, so it is tested and fuzzed on any host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct PremultipliedImage {
  int width = 0, height = 0;
  bool opaque = true;  // every pixel's alpha is 255: a plain blit draws it
  // Top-down rows of B, G, R, A bytes, colours multiplied by alpha as AlphaBlend wants them; null when the
  // data could not be decoded.
  std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, std::free};
};

bool IsPng(const uint8_t* bytes, std::size_t size);

// Any PNG (palette, grey, 16 bits, interlaced, with or without transparency); nothing when the data is no
// PNG, is damaged, or does not fit in memory.
PremultipliedImage DecodePng(const uint8_t* bytes, std::size_t size);
