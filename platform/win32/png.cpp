#include "platform/win32/png.h"

#include <climits>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#include <stb_image.h>

bool IsPng(const uint8_t* bytes, std::size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return size >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

PremultipliedImage DecodePng(const uint8_t* bytes, std::size_t size) {
  PremultipliedImage image;
  if (!IsPng(bytes, size) || size > INT_MAX) return image;
  int width = 0, height = 0, channels = 0;
  uint8_t* rgba = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
  if (!rgba) return image;
  // In place: RGBA to premultiplied BGRA.
  std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (uint8_t *p = rgba, *end = rgba + count * 4; p != end; p += 4) {
    unsigned r = p[0], g = p[1], b = p[2], a = p[3];
    if (a != 255) {
      image.opaque = false;
      r = (r * a + 127) / 255;
      g = (g * a + 127) / 255;
      b = (b * a + 127) / 255;
    }
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
  }
  image.width = width;
  image.height = height;
  image.pixels.reset(rgba);
  return image;
}
