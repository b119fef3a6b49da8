// Picture loading and drawing through the GDI+ flat API, bound at run time so that the program imports
// nothing beyond the DLLs every Windows has loaded anyway.
#include "platform/win32/picture.h"

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
  TwipSize size = metafile ? TwipSize{static_cast<float>(width * kTwipsPerInch / dpiX),
                                      static_cast<float>(height * kTwipsPerInch / dpiY)}
                           : TwipSize{PixelsToTwips(width, kBaseDpi), PixelsToTwips(height, kBaseDpi)};
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
