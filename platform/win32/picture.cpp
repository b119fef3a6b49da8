// Picture loading and drawing through the GDI+ flat API, bound at run time so that the program imports
// nothing beyond the DLLs every Windows has loaded anyway.
#include "platform/win32/picture.h"

#include <cstdint>

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

// The frame a metafile declares in its header, in twips: HIMETRIC in an enhanced metafile, the bounding
// box in units of its own inch in a placeable one. GDI+ reports only a rounded device size for both.
bool MetafileFrame(const Text& path, TwipSize* size) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char header[44] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.get(), header, sizeof header, &got, nullptr)) return false;
  auto u32 = [&](int at) {
    return static_cast<uint32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                 static_cast<uint32_t>(header[at + 3]) << 24);
  };
  auto i32 = [&](int at) { return static_cast<int32_t>(u32(at)); };
  auto i16 = [&](int at) { return static_cast<int16_t>(header[at] | header[at + 1] << 8); };
  if (got >= 44 && u32(0) == EMR_HEADER && u32(40) == ENHMETA_SIGNATURE) {
    // rclFrame: left, top, right, bottom at offset 24, in hundredths of a millimetre.
    double width = i32(32) - i32(24), height = i32(36) - i32(28);
    if (width <= 0 || height <= 0) return false;
    *size = TwipSize{static_cast<float>(width * kTwipsPerInch / 2540.0),
                     static_cast<float>(height * kTwipsPerInch / 2540.0)};
    return true;
  }
  if (got >= 16 && u32(0) == 0x9AC6CDD7u) {
    double width = i16(10) - i16(6), height = i16(12) - i16(8);
    double inch = static_cast<uint16_t>(header[14] | header[15] << 8);
    if (width <= 0 || height <= 0 || inch <= 0) return false;
    *size = TwipSize{static_cast<float>(width * kTwipsPerInch / inch),
                     static_cast<float>(height * kTwipsPerInch / inch)};
    return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<Picture> Picture::Load(const Text& path) {
  const Gdiplus* gdip = Api();
  if (!gdip || path.empty()) return nullptr;
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
  return std::unique_ptr<Picture>(new Picture(image, metafile, size));
}

Picture::~Picture() {
  if (const Gdiplus* gdip = Api()) gdip->disposeImage(image_);
}

void Picture::Draw(HDC dc, int width, int height) const {
  const Gdiplus* gdip = Api();
  GpGraphics* graphics = nullptr;
  if (!gdip || gdip->createFromHdc(dc, &graphics) != kOk) return;
  if (metafile_) {
    gdip->drawImageRectI(graphics, image_, 0, 0, width, height);
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
    gdip->drawImageRectRectI(graphics, image_, 0, 0, width, height, 0, 0, static_cast<INT>(w),
                             static_cast<INT>(h), kUnitPixel, attributes, nullptr, nullptr);
    if (attributes) gdip->disposeImageAttributes(attributes);
  }
  gdip->deleteGraphics(graphics);
}
