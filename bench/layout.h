// The menu of the start-up benchmark's disc: 20 links in two columns over a 640 x 480 picture. The minimal
// program draws them from here, the probe looks for them here, and startup.sh writes the same lines into
// menu.inf (keep the three in step).
#pragma once

#include <string>

constexpr int kBenchLinks = 20;
constexpr unsigned long kBenchLinkColour = 0x0000FFFF;  // 0x00BBGGRR: yellow, absent from the picture
constexpr int kBenchLinkPixels = 16;                    // Verdana bold 12 pt at 96 dpi

inline int BenchLinkLeft(int i) {  // twips, 15 to a pixel at 96 dpi
  return 240 + (i / 10) * 4800;
}
inline int BenchLinkTop(int i) {
  return 300 + (i % 10) * 600;
}
inline std::wstring BenchLinkCaption(int i) {
  return L"Link " + std::to_wstring(i + 1);
}
