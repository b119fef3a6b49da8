#include "platform/win32/png.h"

#include <climits>
#include <cstring>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#include <stb_image.h>

namespace {

constexpr std::size_t kPaletteBytes = 256 * 3;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Where the chunks lie, up to IEND, where stb_image stops reading.
struct ChunkLayout {
  // Every chunk before IEND lies within the file, as stb_image needs to decode it. It sizes its buffer from
  // an IDAT chunk's length before it finds the file short: a few bytes could make it ask for 2 GB.
  bool whole = false;
  std::size_t palette = 0;  // where the PLTE chunk starts, or 0
};

ChunkLayout LayoutOf(const uint8_t* bytes, std::size_t size) {
  ChunkLayout layout;
  for (std::size_t at = 8; at + 8 <= size;) {
    const std::size_t length = BigEndian32(bytes + at);
    const uint8_t* type = bytes + at + 4;
    if (std::memcmp(type, "IEND", 4) == 0) {
      layout.whole = true;
      break;
    }
    if (length > size - at - 8 || size - at - 8 - length < 4) break;  // its data or its CRC cut off
    if (std::memcmp(type, "PLTE", 4) == 0 && !layout.palette) layout.palette = at;
    at += 12 + length;
  }
  return layout;
}

// stb_image holds the palette in an array it never clears and takes a pixel whose index lies past the
// file's palette from there: the pixel would show whatever the memory held. A palette file gets its PLTE
// chunk lengthened to 256 entries of opaque black, as other decoders draw such pixels; the chunk's CRC,
// which stb_image does not check, is left as it was. Empty when the file needs no change.
std::vector<uint8_t> WithFullPalette(const uint8_t* bytes, std::size_t size, std::size_t at) {
  const bool paletteFile = std::memcmp(bytes + 12, "IHDR", 4) == 0 && size > 25 && bytes[25] == 3;
  const std::size_t length = BigEndian32(bytes + at);
  if (!paletteFile || length >= kPaletteBytes || length % 3 != 0) return {};  // full, or refused anyway
  const uint8_t* type = bytes + at + 4;
  std::vector<uint8_t> full(bytes, bytes + at);
  full.reserve(size + kPaletteBytes - length);
  for (int shift = 24; shift >= 0; shift -= 8)
    full.push_back(static_cast<uint8_t>(kPaletteBytes >> shift));
  full.insert(full.end(), type, type + 4 + length);
  full.resize(full.size() + kPaletteBytes - length);
  full.insert(full.end(), type + 4 + length, bytes + size);
  return full;
}

}  // namespace

bool IsPng(const uint8_t* bytes, std::size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return size >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

PremultipliedImage DecodePng(const uint8_t* bytes, std::size_t size) {
  PremultipliedImage image;
  if (!IsPng(bytes, size)) return image;
  const ChunkLayout layout = LayoutOf(bytes, size);
  if (!layout.whole) return image;
  const std::vector<uint8_t> fullPalette =
      layout.palette ? WithFullPalette(bytes, size, layout.palette) : std::vector<uint8_t>();
  if (!fullPalette.empty()) {
    bytes = fullPalette.data();
    size = fullPalette.size();
  }
  if (size > INT_MAX) return image;
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
