// `preview` on Windows: each page loaded by the program's own logic over the disc, drawn by the program's
// own picture and label painting into a 32-bit DIB, and written as PNG.
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "menu/fields.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/headless/windows_machine.h"
#include "platform/numbers.h"
#include "platform/win32/labels.h"
#include "platform/win32/picture.h"
#include "platform/win32/units.h"
#include "tools/author/preview_options.h"
#include "tools/author/preview_pages.h"
#include "tools/author/tool_system.h"
#include "tools/author/windows/png_file.h"

namespace {

const int kButtonFace = 15;

// The full path, without a final separator.
Text FullPath(const std::string& path) {
  Text wide = FromUtf8(path), full(32768, L'\0');
  DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (length == 0 || length >= full.size()) return wide;
  full.resize(length);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  return full;
}

bool IsFolder(const Text& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const Text& path) {
  for (std::size_t at = path.find_first_of(L"\\/", 3); at != Text::npos;
       at = path.find_first_of(L"\\/", at + 1)) {
    Text above = path.substr(0, at);
    if (!above.empty() && above.back() != L':' && !IsFolder(above) &&
        !CreateDirectoryW(above.c_str(), nullptr))
      return false;
  }
  return IsFolder(path) || CreateDirectoryW(path.c_str(), nullptr);
}

class GdiPainter : public PagePainter {
 public:
  GdiPainter(bool overlay, WindowsMachine& disc) : overlay_(overlay), disc_(disc) {}

  std::optional<TwipSize> LoadPicture(const SimulatedMachine::Resolved& file,
                                      const std::string& named) override {
    PictureInfo info = disc_.Picture(file);
    if (info.shown && info.decodes) picture_ = Picture::Load(disc_.PathOf(file));
    if (!picture_) {
      boxNote_ = "not shown: " + named;
      return std::nullopt;
    }
    return picture_->Size();
  }

  bool WritePage(const PagePicture& page) override {
    dpi_ = page.dpi;
    int width = page.width, height = page.height;
    DrawnPicture drawn(width, height);
    if (!drawn.ok()) {
      std::cerr << "velmaro-author: cannot draw " << page.file << " (" << width << " x " << height
                << " px)\n";
      return false;
    }
    HDC dc = drawn.dc();
    RECT all{0, 0, width, height};
    ScopedGdiObj face(CreateSolidBrush(DecodeColor(static_cast<int32_t>(0x80000000u | kButtonFace))));
    FillRect(dc, &all, static_cast<HBRUSH>(face.get()));
    if (picture_) {
      picture_->Draw(dc, 0, 0, width, height);
    } else {
      // The empty box the program shows, with what it stands for.
      ScopedGdiObj pen(CreatePen(PS_SOLID, 1, RGB(140, 140, 140)));
      ScopedSelect select(dc, pen.get());
      ScopedSelect hollow(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, 0, 0, width, height);
      MoveToEx(dc, 0, 0, nullptr);
      LineTo(dc, width, height);
      MoveToEx(dc, width, 0, nullptr);
      LineTo(dc, 0, height);
      Note(dc, 4, 4, boxNote_ + " (" + std::to_string(width) + " x " + std::to_string(height) + " px)");
    }
    for (int i = kLinkCount - 1; i >= 0; --i)
      Link(dc, lblLink(i), page.lit);
    if (overlay_)
      for (int i = kLinkCount - 1; i >= 0; --i)
        Annotate(dc, i);
    std::string error;
    if (!drawn.SavePng(FromUtf8(page.file), &error)) {
      std::cerr << "velmaro-author: " << error << "\n";
      return false;
    }
    return true;
  }

 private:
  // A label as the program draws it, lit with its highlight colour where the program can exchange them.
  void Link(HDC dc, const Label& label, bool lit) {
    if (!label.Visible()) return;
    int32_t color = label.ForeColor();
    if (lit) {
      try {
        color = ToInt32(label.Tag());
      } catch (const AppError&) {
        // The program cannot exchange the colours: the link stays unlit.
      }
    }
    DrawLabel(dc, dpi_, label.Font(), color, label.Caption(), label.Rect());
    // GDI takes another face for one that is not installed, silently: the author is told.
    const Text& wanted = label.Font().name;
    if (wanted.empty()) return;
    ScopedSelect select(dc, LabelFontHandle(label.Font(), dpi_));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    if (lstrcmpiW(face, wanted.substr(0, LF_FACESIZE - 1).c_str()) != 0)
      substitutes_[ToUtf8(wanted)] = ToUtf8(face);
  }

  void Annotate(HDC dc, int index) {
    const Label& label = lblLink(index);
    if (!label.Visible()) return;
    PixelRect p = TwipRectToPixels(label.Rect(), dpi_);
    RECT box{p.left, p.top, p.right, p.bottom};
    ScopedGdiObj magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FrameRect(dc, &box, static_cast<HBRUSH>(magenta.get()));
    Note(dc, p.right + 3, p.top,
         std::to_string(index) + ": " + ActionText(linkActions[static_cast<std::size_t>(index)]));
  }

  // A small note on a dark band, legible on any picture.
  void Note(HDC dc, int x, int y, const std::string& text) {
    ScopedGdiObj font(CreateFontW(-PointsToPixels(8, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Segoe UI"));
    ScopedSelect select(dc, font.get());
    Text wide = FromUtf8(text);
    RECT r{x, y, x, y};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    RECT band{r.left - 1, r.top, r.right + 1, r.bottom};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 153));
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
  }

  const bool overlay_;
  WindowsMachine& disc_;
  unsigned dpi_ = 96;  // of the page being drawn
  std::unique_ptr<Picture> picture_;
};

}  // namespace

int Preview(const std::vector<std::string>& args) {
  PreviewOptions options;
  if (std::optional<int> status = ParsePreviewArgs(args, &options, std::cout, std::cerr)) return *status;
  if (!WindowsDisc(options.folder).readable()) {
    std::cerr << "velmaro-author: cannot read the folder " << options.folder << "\n";
    return 2;
  }
  Text disc = FullPath(options.folder);
  if (options.out.empty()) {
    if (disc.size() <= 3)
      return PreviewUsage(std::cerr, "the disc is the root of a drive: say where with --out DIR");
    options.out = ToUtf8(disc) + "-preview";
  }
  Text out = FullPath(options.out);
  if (!MakeFolders(out)) {
    std::cerr << "velmaro-author: cannot make the folder " << options.out << "\n";
    return 1;
  }
  Text upperOut = UpperName(out) + L"\\", upperDisc = UpperName(disc) + L"\\";
  if (upperOut.compare(0, upperDisc.size(), upperDisc) == 0)
    std::cout << "preview: " << options.out << " is inside the disc: burned with it unless you remove it\n";

  WindowsMachine machine(options.folder);
  GdiPainter painter(options.overlay, machine);
  return DrawPreviewPages(options, machine, painter, '\\');
}
