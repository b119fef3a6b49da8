// A picture file, drawn at any size. BMP and opaque PNG (decoded by stb_image, png.h) are drawn by plain
// GDI; the other kinds (JPEG, GIF, transparent PNG, ICO, WMF, EMF) are decoded by GDI+, bound from the system
// folder at the first such load. Where GDI+ is missing (XP keeps it outside the system folder) or rejects
// the file, a transparent PNG is drawn from stb_image's pixels too and the OLE picture loader takes the rest.
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
  // Draws over what is in `dc` already, so transparent areas keep it, stretched to the rectangle at
  // `left`,`top` of `width` by `height` pixels; only what falls inside the DC's bitmap is drawn.
  void Draw(HDC dc, int left, int top, int width, int height) const;
  // Whether drawing it at this size is a plain copy of pixels it holds, as fast as from any cache.
  bool CopiesAt(int width, int height) const;

 private:
  // A GDI bitmap has alpha when it holds premultiplied pixels with transparency.
  enum class Kind { kGdiBitmap, kGdiAlphaBitmap, kGdiplusRaster, kGdiplusMetafile, kOle };
  Picture(void* image, Kind kind, TwipSize size) : image_(image), kind_(kind), size_(size) {}
  static std::unique_ptr<Picture> LoadBitmap(const Text& path);
  static std::unique_ptr<Picture> LoadPng(const Text& path);
  static std::unique_ptr<Picture> LoadGdiplus(const Text& path);
  static std::unique_ptr<Picture> LoadOle(const Text& path);
  void DrawBitmap(HDC dc, int left, int top, int width, int height) const;
  void DrawGdiplus(HDC dc, int left, int top, int width, int height) const;
  void DrawOle(HDC dc, int left, int top, int width, int height) const;
  // A GDI bitmap, a GDI+ image or an IPicture, as `kind_` says.
  void* image_;
  Kind kind_;
  TwipSize size_;
};
