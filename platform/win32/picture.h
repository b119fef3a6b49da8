// A picture file decoded by GDI+ (BMP, JPEG, GIF, PNG, ICO, WMF, EMF), drawn at any size. GDI+ is bound
// from the system folder at the first load.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/win32/win.h"

class Picture {
 public:
  // Null when the file is missing or is not a picture.
  static std::unique_ptr<Picture> Load(const Text& path);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Raster images count as 96-DPI images; metafiles measure by their frame.
  TwipSize Size() const { return size_; }
  // Draws over what is in `dc` already, so transparent areas keep it.
  void Draw(HDC dc, int width, int height) const;

 private:
  Picture(void* image, bool metafile, TwipSize size) : image_(image), metafile_(metafile), size_(size) {}
  void* image_;
  bool metafile_;
  TwipSize size_;
};
