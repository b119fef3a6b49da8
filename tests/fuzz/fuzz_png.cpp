// Any bytes through the program's own PNG decoding, the one every PNG picture of a disc goes through. What
// comes out is what the exe copies into a 32-bit DIB section: width × height premultiplied BGRA pixels, no
// colour above its alpha, "opaque" exactly when every alpha is 255, the same pixels on every load, and (but
// for palette files, whose indices past the palette the program draws black) each pixel the file's RGBA
// colour as stb_image reads it, scaled by its alpha and rounded; or nothing, for bytes that are no PNG.
#include <cstring>

#include "check.h"
#include "platform/win32/png.h"

#include <stb_image.h>

namespace {

// A header that asks for more pixels than a disc's picture would have is left out: stb_image sizes its
// buffers from the header before it finds the data short, and the fuzzer would spend its memory there.
constexpr uint64_t kMostPixels = uint64_t{1} << 18;

uint32_t BigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool AsksTooMuch(const uint8_t* data, std::size_t size) {
  if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
  return uint64_t{BigEndian(data + 16)} * BigEndian(data + 20) > kMostPixels;
}

bool IsPaletteFile(const uint8_t* data, std::size_t size) {
  return size >= 26 && std::memcmp(data + 12, "IHDR", 4) == 0 && data[25] == 3;
}

// The same decoding from deeper in a stack full of other bytes: what the decoder does not set differs.
PremultipliedImage __attribute__((noinline)) DecodeAgain(const uint8_t* data, std::size_t size) {
  volatile uint8_t used[16 * 1024];
  for (auto& byte : used)
    byte = 0xA5;
  return DecodePng(data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (AsksTooMuch(data, size)) return -1;
  PremultipliedImage image = DecodePng(data, size);
  if (!image.pixels) {
    FUZZ_CHECK(image.width == 0 && image.height == 0);
    return 0;
  }
  FUZZ_CHECK(IsPng(data, size));
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  const uint8_t* bgra = image.pixels.get();

  PremultipliedImage again = DecodeAgain(data, size);
  FUZZ_CHECK(again.pixels && again.width == image.width && again.height == image.height);
  FUZZ_CHECK(again.opaque == image.opaque);
  FUZZ_CHECK(std::memcmp(again.pixels.get(), bgra, count * 4) == 0);

  bool everyAlphaFull = true;
  for (std::size_t i = 0; i < count * 4; i += 4) {
    everyAlphaFull = everyAlphaFull && bgra[i + 3] == 255;
    for (int c = 0; c < 3; ++c)
      FUZZ_CHECK(bgra[i + c] <= bgra[i + 3]);
  }
  FUZZ_CHECK(image.opaque == everyAlphaFull);
  if (IsPaletteFile(data, size)) return 0;

  // The file's own colours, as stb_image gives them before the program turns them for GDI.
  int width = 0, height = 0, channels = 0;
  uint8_t* rgba = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
  FUZZ_CHECK(rgba && width == image.width && height == image.height);

  for (std::size_t i = 0; i < count * 4; i += 4) {
    const unsigned alpha = rgba[i + 3];
    FUZZ_CHECK(bgra[i + 3] == alpha);
    for (int c = 0; c < 3; ++c) {
      const unsigned colour = rgba[i + 2 - c];  // B, G, R from R, G, B
      FUZZ_CHECK(bgra[i + c] == (alpha == 255 ? colour : (colour * alpha + 127) / 255));
    }
  }
  stbi_image_free(rgba);
  return 0;
}
