// Pictures the tools write on Windows: drawn by GDI into a 32-bit DIB, saved as PNG by the system's own
// encoder (WIC), so the tool carries no image library.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"
#include "platform/win32/scoped.h"

// A top-down 32-bit DIB section selected into a memory DC, for GDI to draw into.
class DrawnPicture {
 public:
  DrawnPicture(int width, int height);
  ~DrawnPicture();
  DrawnPicture(const DrawnPicture&) = delete;
  DrawnPicture& operator=(const DrawnPicture&) = delete;
  bool ok() const { return static_cast<bool>(dc_) && pixels_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // Writes it as an opaque PNG; false with `error` set when it cannot.
  bool SavePng(const Text& path, std::string* error);

 private:
  int width_, height_;
  ScopedMemDc dc_;
  ScopedGdiObj bitmap_;
  HGDIOBJ before_ = nullptr;
  uint8_t* pixels_ = nullptr;  // B, G, R, unused: GDI leaves the fourth byte as it likes
};
