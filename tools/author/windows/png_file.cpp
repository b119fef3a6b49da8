#include "tools/author/windows/png_file.h"

#include <wincodec.h>

#include <vector>

namespace {

// COM interfaces released when they leave scope.
template <class Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (p_) p_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface** out() { return &p_; }
  Interface* operator->() const { return p_; }
  Interface* get() const { return p_; }

 private:
  Interface* p_ = nullptr;
};

// The GUIDs used, by their documented values, so that no import library has to hold them.
const CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kImagingFactoryInterface = {0xec5ec8a9,
                                      0xc395,
                                      0x4314,
                                      {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
const GUID k24bppBgr = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};
const GUID k32bppBgr = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};

std::string Failed(const char* step, HRESULT result) {
  char code[16];
  wsprintfA(code, "%08lX", static_cast<unsigned long>(result));
  return std::string(step) + " failed (0x" + code + ")";
}

}  // namespace

DrawnPicture::DrawnPicture(int width, int height)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !dc_) return;
  pixels_ = static_cast<uint8_t*>(bits);
  before_ = SelectObject(dc_.get(), bitmap_.get());
}

DrawnPicture::~DrawnPicture() {
  if (before_) SelectObject(dc_.get(), before_);
}

bool DrawnPicture::SavePng(const Text& path, std::string* error) {
  GdiFlush();
  ComPointer<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                                reinterpret_cast<void**>(factory.out()));
  if (FAILED(hr)) {
    *error = Failed("starting the system's image encoder (WIC)", hr);
    return false;
  }
  ComPointer<IWICStream> stream;
  ComPointer<IWICBitmapEncoder> encoder;
  ComPointer<IWICBitmapFrameEncode> frame;
  if (FAILED(hr = factory->CreateStream(stream.out())) ||
      FAILED(hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) {
    *error = "cannot write " + ToUtf8(path);
    return false;
  }
  if (FAILED(hr = factory->CreateEncoder(kPng, nullptr, encoder.out())) ||
      FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(hr = encoder->CreateNewFrame(frame.out(), nullptr)) || FAILED(hr = frame->Initialize(nullptr)) ||
      FAILED(hr = frame->SetSize(static_cast<UINT>(width_), static_cast<UINT>(height_)))) {
    *error = Failed("encoding PNG", hr);
    return false;
  }
  GUID format = k24bppBgr;
  if (FAILED(hr = frame->SetPixelFormat(&format))) {
    *error = Failed("encoding PNG", hr);
    return false;
  }
  // Opaque rows in the layout the encoder took.
  const bool wide = IsEqualGUID(format, k32bppBgr) != 0;
  const UINT stride = static_cast<UINT>(width_) * (wide ? 4 : 3);
  std::vector<uint8_t> row(stride);
  for (int y = 0; y < height_ && SUCCEEDED(hr); ++y) {
    const uint8_t* in = pixels_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 4;
    for (int x = 0; x < width_; ++x) {
      uint8_t* out = row.data() + x * (wide ? 4 : 3);
      out[0] = in[4 * x];
      out[1] = in[4 * x + 1];
      out[2] = in[4 * x + 2];
      if (wide) out[3] = 255;
    }
    hr = frame->WritePixels(1, stride, stride, row.data());
  }
  if (FAILED(hr) || FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) {
    *error = Failed("encoding PNG", hr);
    return false;
  }
  return true;
}
