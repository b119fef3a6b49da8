// Picture loading and drawing: BMP through plain GDI, the rest through the GDI+ flat API, with the OLE
// picture loader as the fallback. Both are bound at run time, and only when a picture needs them, so that
// the program imports nothing beyond the DLLs every Windows has loaded anyway and loads no more at start.
#include "platform/win32/picture.h"

#include <olectl.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/metafile.h"
#include "platform/win32/png.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/units.h"

namespace {

// The few GDI+ declarations used here, by their documented layouts.
using GpStatus = int;
using GpImage = void;
using GpGraphics = void;
using GpImageAttributes = void;
constexpr GpStatus kOk = 0;
constexpr int kImageTypeMetafile = 2;
constexpr int kUnitPixel = 2;
constexpr int kInterpolationNearestNeighbor = 5;
constexpr int kInterpolationHighQualityBicubic = 7;
constexpr int kPixelOffsetHighQuality = 2;
constexpr int kWrapTileFlipXY = 3;

struct StartupInput {
  UINT32 version;
  void* debugEventCallback;
  BOOL suppressBackgroundThread;
  BOOL suppressExternalCodecs;
};

struct Gdiplus {
  GpStatus(WINAPI* startup)(ULONG_PTR*, const StartupInput*, void*);
  GpStatus(WINAPI* loadImageFromFile)(const WCHAR*, GpImage**);
  GpStatus(WINAPI* disposeImage)(GpImage*);
  GpStatus(WINAPI* getImageType)(GpImage*, int*);
  GpStatus(WINAPI* getImageWidth)(GpImage*, UINT*);
  GpStatus(WINAPI* getImageHeight)(GpImage*, UINT*);
  GpStatus(WINAPI* getHorizontalResolution)(GpImage*, float*);
  GpStatus(WINAPI* getVerticalResolution)(GpImage*, float*);
  GpStatus(WINAPI* createFromHdc)(HDC, GpGraphics**);
  GpStatus(WINAPI* deleteGraphics)(GpGraphics*);
  GpStatus(WINAPI* setInterpolationMode)(GpGraphics*, int);
  GpStatus(WINAPI* setPixelOffsetMode)(GpGraphics*, int);
  GpStatus(WINAPI* createImageAttributes)(GpImageAttributes**);
  GpStatus(WINAPI* setImageAttributesWrapMode)(GpImageAttributes*, int, DWORD, BOOL);
  GpStatus(WINAPI* disposeImageAttributes)(GpImageAttributes*);
  GpStatus(WINAPI* drawImageRectI)(GpGraphics*, GpImage*, INT, INT, INT, INT);
  GpStatus(WINAPI* drawImageRectRectI)(GpGraphics*,
                                       GpImage*,
                                       INT,
                                       INT,
                                       INT,
                                       INT,
                                       INT,
                                       INT,
                                       INT,
                                       INT,
                                       int,
                                       GpImageAttributes*,
                                       void*,
                                       void*);
};

template <class Fn>
bool Bind(Fn* slot, const char* name) {
  *slot = SystemProc<Fn>("gdiplus.dll", name);
  return *slot != nullptr;
}

// GDI+, started once and never shut down: pictures stay on screen until the process ends.
const Gdiplus* Api() {
  static const Gdiplus* api = []() -> const Gdiplus* {
    static Gdiplus g{};
    bool bound =
        Bind(&g.startup, "GdiplusStartup") && Bind(&g.loadImageFromFile, "GdipLoadImageFromFile") &&
        Bind(&g.disposeImage, "GdipDisposeImage") && Bind(&g.getImageType, "GdipGetImageType") &&
        Bind(&g.getImageWidth, "GdipGetImageWidth") && Bind(&g.getImageHeight, "GdipGetImageHeight") &&
        Bind(&g.getHorizontalResolution, "GdipGetImageHorizontalResolution") &&
        Bind(&g.getVerticalResolution, "GdipGetImageVerticalResolution") &&
        Bind(&g.createFromHdc, "GdipCreateFromHDC") && Bind(&g.deleteGraphics, "GdipDeleteGraphics") &&
        Bind(&g.setInterpolationMode, "GdipSetInterpolationMode") &&
        Bind(&g.setPixelOffsetMode, "GdipSetPixelOffsetMode") &&
        Bind(&g.createImageAttributes, "GdipCreateImageAttributes") &&
        Bind(&g.setImageAttributesWrapMode, "GdipSetImageAttributesWrapMode") &&
        Bind(&g.disposeImageAttributes, "GdipDisposeImageAttributes") &&
        Bind(&g.drawImageRectI, "GdipDrawImageRectI") &&
        Bind(&g.drawImageRectRectI, "GdipDrawImageRectRectI");
    if (!bound) return nullptr;
    ULONG_PTR token = 0;
    StartupInput input{1, nullptr, FALSE, FALSE};
    return g.startup(&token, &input, nullptr) == kOk ? &g : nullptr;
  }();
  return api;
}

// The frame a metafile declares in its header (platform/metafile.h); GDI+ reports only a rounded device
// size for it.
bool MetafileFrame(const Text& path, TwipSize* size) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char header[44] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.get(), header, sizeof header, &got, nullptr)) return false;
  return ::MetafileFrame(header, got, size);
}

// The OLE picture loader, present on every Windows since 95.
struct OlePicture {
  HRESULT(WINAPI* createStreamOnHGlobal)(HGLOBAL, BOOL, IStream**);
  HRESULT(WINAPI* loadPicture)(IStream*, LONG, BOOL, REFIID, void**);
};

const OlePicture* OleApi() {
  static const OlePicture* api = []() -> const OlePicture* {
    static OlePicture o{};
    o.createStreamOnHGlobal =
        SystemProc<decltype(o.createStreamOnHGlobal)>("ole32.dll", "CreateStreamOnHGlobal");
    o.loadPicture = SystemProc<decltype(o.loadPicture)>("oleaut32.dll", "OleLoadPicture");
    // COM is started on the program's one thread by the entry.
    return o.createStreamOnHGlobal && o.loadPicture ? &o : nullptr;
  }();
  return api;
}

// The whole file in a movable global block, as a stream over memory wants it; null on any failure.
HGLOBAL ReadWholeFile(const Text& path, DWORD* length) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) {
    return nullptr;
  }
  *length = static_cast<DWORD>(size.QuadPart);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, *length);
  if (!block) return nullptr;
  void* bytes = GlobalLock(block);
  DWORD got = 0;
  bool read = bytes && ReadFile(file.get(), bytes, *length, &got, nullptr) && got == *length;
  if (bytes) GlobalUnlock(block);
  if (!read) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

enum class FileKind { kBmp, kPng, kOther };

// What the file's first bytes say it is. The name's extension is not trusted either way.
FileKind Sniff(const Text& path) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  uint8_t magic[8] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.get(), magic, sizeof magic, &got, nullptr)) return FileKind::kOther;
  if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') return FileKind::kBmp;
  return IsPng(magic, got) ? FileKind::kPng : FileKind::kOther;
}

HANDLE PictureHandle(IPicture* picture) {
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
}

// The pixel size of a raster picture from its bitmap or icon. Its HIMETRIC size was derived from the screen
// DPI, which is not 96 on a scaled screen.
bool RasterPixels(IPicture* picture, SHORT type, int* width, int* height) {
  HANDLE handle = PictureHandle(picture);
  if (!handle) return false;
  BITMAP bitmap{};
  if (type == PICTYPE_BITMAP) {
    if (!GetObjectW(handle, sizeof bitmap, &bitmap)) return false;
    *width = bitmap.bmWidth;
    *height = std::abs(bitmap.bmHeight);
    return true;
  }
  ICONINFO icon{};
  if (type != PICTYPE_ICON || !GetIconInfo(static_cast<HICON>(handle), &icon)) return false;
  ScopedGdiObj color(icon.hbmColor), mask(icon.hbmMask);
  // A monochrome icon stacks its AND and XOR masks in one bitmap of twice the height.
  bool ok = GetObjectW(color ? color.get() : mask.get(), sizeof bitmap, &bitmap) != 0;
  *width = bitmap.bmWidth;
  *height = color ? bitmap.bmHeight : bitmap.bmHeight / 2;
  return ok;
}

}  // namespace

std::unique_ptr<Picture> Picture::Load(const Text& path) {
  if (path.empty()) return nullptr;
  switch (Sniff(path)) {
    case FileKind::kBmp:
      if (std::unique_ptr<Picture> picture = LoadBitmap(path)) return picture;
      break;
    case FileKind::kPng: {
      // An opaque PNG is drawn by plain GDI like a bitmap, so GDI+ need not be loaded for it. GDI+ scales a
      // transparent one smoothly where AlphaBlend cannot, so it is worth loading for that; without it
      // (XP), the decoded picture serves.
      std::unique_ptr<Picture> decoded = LoadPng(path);
      if (decoded && decoded->kind_ == Kind::kGdiBitmap) return decoded;
      if (std::unique_ptr<Picture> picture = LoadGdiplus(path)) return picture;
      if (decoded) return decoded;
      break;
    }
    case FileKind::kOther:
      break;
  }
  if (std::unique_ptr<Picture> picture = LoadGdiplus(path)) return picture;
  return LoadOle(path);
}

std::unique_ptr<Picture> Picture::LoadPng(const Text& path) {
  DWORD length = 0;
  HGLOBAL block = ReadWholeFile(path, &length);
  if (!block) return nullptr;
  PremultipliedImage image;
  if (const void* bytes = GlobalLock(block)) {
    image = DecodePng(static_cast<const uint8_t*>(bytes), length);
    GlobalUnlock(block);
  }
  GlobalFree(block);
  if (!image.pixels) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, image.pixels.get(), static_cast<std::size_t>(image.width) * image.height * 4);
  TwipSize size{PixelsToTwips(image.width, kBaseDpi), PixelsToTwips(image.height, kBaseDpi)};
  return std::unique_ptr<Picture>(
      new Picture(bitmap, image.opaque ? Kind::kGdiBitmap : Kind::kGdiAlphaBitmap, size));
}

std::unique_ptr<Picture> Picture::LoadBitmap(const Text& path) {
  // A DIB section keeps the file's colours whatever the screen's depth.
  HANDLE bitmap =
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!bitmap) return nullptr;
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
    DeleteObject(bitmap);
    return nullptr;
  }
  TwipSize size{PixelsToTwips(info.bmWidth, kBaseDpi), PixelsToTwips(std::abs(info.bmHeight), kBaseDpi)};
  return std::unique_ptr<Picture>(new Picture(bitmap, Kind::kGdiBitmap, size));
}

std::unique_ptr<Picture> Picture::LoadGdiplus(const Text& path) {
  const Gdiplus* gdip = Api();
  if (!gdip) return nullptr;
  GpImage* image = nullptr;
  if (gdip->loadImageFromFile(path.c_str(), &image) != kOk || !image) return nullptr;
  int type = 0;
  UINT width = 0, height = 0;
  float dpiX = 0, dpiY = 0;
  bool ok = gdip->getImageType(image, &type) == kOk && gdip->getImageWidth(image, &width) == kOk &&
            gdip->getImageHeight(image, &height) == kOk && width > 0 && height > 0;
  bool metafile = type == kImageTypeMetafile;
  if (ok && metafile) {
    // A metafile's pixel size is relative to its reference device; the frame in inches is what it means.
    ok = gdip->getHorizontalResolution(image, &dpiX) == kOk &&
         gdip->getVerticalResolution(image, &dpiY) == kOk && dpiX > 0 && dpiY > 0;
  }
  if (!ok) {
    gdip->disposeImage(image);
    return nullptr;
  }
  TwipSize size{PixelsToTwips(width, kBaseDpi), PixelsToTwips(height, kBaseDpi)};
  if (metafile && !MetafileFrame(path, &size)) {
    size = TwipSize{static_cast<float>(width * kTwipsPerInch / dpiX),
                    static_cast<float>(height * kTwipsPerInch / dpiY)};
  }
  return std::unique_ptr<Picture>(
      new Picture(image, metafile ? Kind::kGdiplusMetafile : Kind::kGdiplusRaster, size));
}

std::unique_ptr<Picture> Picture::LoadOle(const Text& path) {
  const OlePicture* ole = OleApi();
  DWORD length = 0;
  HGLOBAL block = ole ? ReadWholeFile(path, &length) : nullptr;
  if (!block) return nullptr;
  IStream* stream = nullptr;
  if (FAILED(ole->createStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    GlobalFree(block);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HRESULT loaded = ole->loadPicture(stream, static_cast<LONG>(length), FALSE, __uuidof(IPicture),
                                    reinterpret_cast<void**>(&picture));
  stream->Release();  // frees the block too
  if (FAILED(loaded) || !picture) return nullptr;

  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  bool ok = SUCCEEDED(picture->get_Type(&type)) && SUCCEEDED(picture->get_Width(&hmWidth)) &&
            SUCCEEDED(picture->get_Height(&hmHeight)) && hmWidth > 0 && hmHeight > 0;
  TwipSize size{};
  if (ok && (type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE)) {
    if (!MetafileFrame(path, &size)) {
      size = TwipSize{static_cast<float>(hmWidth * kTwipsPerInch / 2540.0),
                      static_cast<float>(hmHeight * kTwipsPerInch / 2540.0)};
    }
  } else if (ok) {
    int width = 0, height = 0;
    if (!RasterPixels(picture, type, &width, &height)) {
      width = static_cast<int>(std::lround(hmWidth * kBaseDpi / 2540.0));
      height = static_cast<int>(std::lround(hmHeight * kBaseDpi / 2540.0));
    }
    ok = width > 0 && height > 0;
    size = TwipSize{PixelsToTwips(width, kBaseDpi), PixelsToTwips(height, kBaseDpi)};
  }
  if (!ok) {
    picture->Release();
    return nullptr;
  }
  return std::unique_ptr<Picture>(new Picture(picture, Kind::kOle, size));
}

Picture::~Picture() {
  if (kind_ == Kind::kGdiBitmap || kind_ == Kind::kGdiAlphaBitmap) {
    DeleteObject(image_);
  } else if (kind_ == Kind::kOle) {
    static_cast<IPicture*>(image_)->Release();
  } else if (const Gdiplus* gdip = Api()) {
    gdip->disposeImage(image_);
  }
}

void Picture::Draw(HDC dc, int left, int top, int width, int height) const {
  if (kind_ == Kind::kGdiBitmap || kind_ == Kind::kGdiAlphaBitmap) {
    DrawBitmap(dc, left, top, width, height);
  } else if (kind_ == Kind::kOle) {
    DrawOle(dc, left, top, width, height);
  } else {
    DrawGdiplus(dc, left, top, width, height);
  }
}

bool Picture::CopiesAt(int width, int height) const {
  return kind_ == Kind::kGdiBitmap && TwipsToPixels(size_.width, kBaseDpi) == width &&
         TwipsToPixels(size_.height, kBaseDpi) == height;
}

void Picture::DrawBitmap(HDC dc, int left, int top, int width, int height) const {
  BITMAP info{};
  ScopedMemDc source(CreateCompatibleDC(dc));
  if (!source || !GetObjectW(image_, sizeof info, &info)) return;
  ScopedSelect select(source.get(), image_);
  int sourceHeight = std::abs(info.bmHeight);
  if (kind_ == Kind::kGdiAlphaBitmap) {
    // Transparent pixels keep what is drawn below. AlphaBlend has no smoothing filter when it stretches.
    using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    static auto alphaBlend = SystemProc<AlphaBlendFn>("msimg32.dll", "AlphaBlend");
    if (alphaBlend) {
      alphaBlend(dc, left, top, width, height, source.get(), 0, 0, info.bmWidth, sourceHeight,
                 BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    }
    return;
  }
  // Only the part that lands in the target is copied: a picture far larger than the screen is drawn into
  // each small paint buffer, and a blit of all its pixels every time (which Wine does) would never end.
  RECT target{left, top, left + width, top + height}, clip;
  if (GetClipBox(dc, &clip) != ERROR && !IntersectRect(&target, &target, &clip)) return;
  if (info.bmWidth == width && sourceHeight == height) {
    BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, source.get(),
           target.left - left, target.top - top, SRCCOPY);
    return;
  }
  // The source rows and columns behind the target, widened by one so that halftone's edges match.
  double scaleX = static_cast<double>(info.bmWidth) / width,
         scaleY = static_cast<double>(sourceHeight) / height;
  int sx0 = std::max(0, static_cast<int>(std::floor((target.left - left) * scaleX)) - 1);
  int sy0 = std::max(0, static_cast<int>(std::floor((target.top - top) * scaleY)) - 1);
  int sx1 = std::min<int>(info.bmWidth, static_cast<int>(std::ceil((target.right - left) * scaleX)) + 1);
  int sy1 = std::min(sourceHeight, static_cast<int>(std::ceil((target.bottom - top) * scaleY)) + 1);
  int dx0 = left + static_cast<int>(std::lround(sx0 / scaleX)),
      dy0 = top + static_cast<int>(std::lround(sy0 / scaleY));
  int dx1 = left + static_cast<int>(std::lround(sx1 / scaleX)),
      dy1 = top + static_cast<int>(std::lround(sy1 / scaleY));
  // Halftone averages the rows and columns that plain stretching would drop or repeat.
  int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchBlt(dc, dx0, dy0, dx1 - dx0, dy1 - dy0, source.get(), sx0, sy0, sx1 - sx0, sy1 - sy0, SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

void Picture::DrawOle(HDC dc, int left, int top, int width, int height) const {
  auto* picture = static_cast<IPicture*>(image_);
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  if (FAILED(picture->get_Width(&hmWidth)) || FAILED(picture->get_Height(&hmHeight))) return;
  // Plain stretching drops whole rows and columns; halftone averages them when the size differs.
  bool exact =
      TwipsToPixels(size_.width, kBaseDpi) == width && TwipsToPixels(size_.height, kBaseDpi) == height;
  int oldMode = SetStretchBltMode(dc, exact ? COLORONCOLOR : HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  // The HIMETRIC source runs bottom-up: it starts at the height and has a negative extent.
  picture->Render(dc, left, top, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

void Picture::DrawGdiplus(HDC dc, int left, int top, int width, int height) const {
  const Gdiplus* gdip = Api();
  GpGraphics* graphics = nullptr;
  if (!gdip || gdip->createFromHdc(dc, &graphics) != kOk) return;
  if (kind_ == Kind::kGdiplusMetafile) {
    gdip->drawImageRectI(graphics, image_, left, top, width, height);
  } else {
    UINT w = 0, h = 0;
    gdip->getImageWidth(image_, &w);
    gdip->getImageHeight(image_, &h);
    bool exact = static_cast<int>(w) == width && static_cast<int>(h) == height;
    gdip->setInterpolationMode(graphics,
                               exact ? kInterpolationNearestNeighbor : kInterpolationHighQualityBicubic);
    gdip->setPixelOffsetMode(graphics, kPixelOffsetHighQuality);
    // Mirrored edges keep the smooth filter from fading the border towards transparent.
    GpImageAttributes* attributes = nullptr;
    gdip->createImageAttributes(&attributes);
    if (attributes) gdip->setImageAttributesWrapMode(attributes, kWrapTileFlipXY, 0, FALSE);
    gdip->drawImageRectRectI(graphics, image_, left, top, width, height, 0, 0, static_cast<INT>(w),
                             static_cast<INT>(h), kUnitPixel, attributes, nullptr, nullptr);
    if (attributes) gdip->disposeImageAttributes(attributes);
  }
  gdip->deleteGraphics(graphics);
}
