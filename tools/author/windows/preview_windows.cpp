// `preview` on Windows: each page loaded by the program's own logic over the disc, drawn by the program's
// own picture and label painting into a 32-bit DIB, and written as PNG.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "menu/fields.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/headless/windows_machine.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/win32/labels.h"
#include "platform/win32/picture.h"
#include "platform/win32/units.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"
#include "tools/author/tool_system.h"
#include "tools/author/windows/png_file.h"

namespace {

const Text kRoot = L"D:\\";
// The empty picture box of the menu window, as created: 361 x 241 pixels at 96 DPI.
constexpr TwipSize kEmptyBox{5415, 3615};
// The widest and tallest picture drawn.
constexpr int kLargestSide = 32767;
const int kButtonFace = 15;

struct Options {
  std::string folder;
  std::string out;  // empty: the default, DISC-preview beside the disc
  bool onePage = false;
  int page = 0;
  unsigned dpi = 96;
  bool overlay = false;
};

const char* const kUsage =
    "usage: velmaro-author preview DISC [--out DIR] [--page N] [--dpi D] [--overlay]\n"
    "\n"
    "Draws each page of the disc's menu as the program lays it out, one PNG a page.\n"
    "\n"
    "  --out DIR    where the pictures go (default: DISC-preview beside the disc folder, never inside it)\n"
    "  --page N     only page N (default: every page a line of menu.inf names)\n"
    "  --dpi D      the display's dots per inch, 48 to 960 (default 96; 144 is 150 % scaling)\n"
    "  --overlay    mark each link's box, number and action, and add a picture with every link lit\n";

int Usage(const std::string& problem) {
  std::string usage = kUsage;
  std::cerr << "velmaro-author: preview: " << problem << "\n"
            << usage.substr(0, usage.find('\n') + 1) << "velmaro-author preview --help says more\n";
  return 2;
}

bool ParseInt(const std::string& s, long low, long high, long* value) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

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

// Every page a line of menu.inf names that a page link can show, and page 0, which the menu shows first.
std::set<int> NamedPages() {
  std::set<int> pages = {0};
  try {
    FileCloser closer;
    FileOpen(kRoot + L"menu.inf");
    while (!AtEndOfFile()) {
      Text line = LineInput(), field;
      if (line.empty()) continue;
      try {
        FirstField(line, field);
        double page = ToDouble(field);
        if (page == std::nearbyint(page) && std::fabs(page) <= 32767) pages.insert(static_cast<int>(page));
      } catch (const AppError&) {
      }
    }
  } catch (const AppError&) {
  }
  return pages;
}

// A stored action as an author reads it: "3 document docs\readme.txt".
std::string ActionText(const Text& stored) {
  static const char* const kNames[] = {"launch", "open", "mail", "document", "folder",
                                       "page",   "quit", "none", "sound"};
  Text argument = stored, type;
  try {
    NextField(type, argument);
  } catch (const AppError&) {
    return ToUtf8(stored);
  }
  if (!argument.empty() && argument.back() == L'|') argument.pop_back();
  std::string out = ToUtf8(type);
  if (type.size() == 1 && type[0] >= L'0' && type[0] <= L'8')
    out += std::string(" ") + kNames[type[0] - L'0'];
  if (!argument.empty()) out += " " + ToUtf8(argument);
  return out;
}

class Renderer {
 public:
  Renderer(const Options& options, WindowsMachine& disc) : options_(options), disc_(disc) {}

  void LoadBackground() {
    config_ = ReadLaunchConfig(kRoot);
    size_ = kEmptyBox;
    WindowsMachine::Resolved r = disc_.Resolve(kRoot + config_.menuPicture);
    if (config_.menuPicture.empty() || r.status != LookupStatus::Found || r.isFolder) {
      boxNote_ =
          config_.menuPicture.empty() ? "no menu picture named" : "missing: " + ToUtf8(config_.menuPicture);
      return;
    }
    PictureInfo info = disc_.Picture(r);
    if (info.shown && info.decodes) picture_ = Picture::Load(disc_.PathOf(r));
    if (!picture_) {
      boxNote_ = "not shown: " + ToUtf8(config_.menuPicture);
      return;
    }
    size_ = picture_->Size();
  }

  // The highest DPI up to `dpi` at which the menu picture fits in the largest picture drawn; 0 when none
  // does.
  unsigned FittingDpi(unsigned dpi) const {
    while (dpi > 0 && (TwipsToPixels(size_.width, dpi) > kLargestSide ||
                       TwipsToPixels(size_.height, dpi) > kLargestSide))
      dpi = std::min(dpi - 1, static_cast<unsigned>(dpi * static_cast<double>(kLargestSide) /
                                                    std::max(TwipsToPixels(size_.width, dpi),
                                                             TwipsToPixels(size_.height, dpi))));
    return dpi;
  }

  std::string PixelSize(unsigned dpi) const {
    return std::to_string(TwipsToPixels(size_.width, dpi)) + " x " +
           std::to_string(TwipsToPixels(size_.height, dpi)) + " px";
  }

  // Loads the page as a new process would and writes its picture (and with --overlay the lit one).
  bool Page(int page, std::vector<std::string>* written) {
    events::NewProcess();
    frmMain.appPath = kRoot;
    menuReady = true;
    disc_.effects.clear();
    try {
      LoadMenuPage(static_cast<int16_t>(page));
    } catch (const AppError& e) {
      LoadPosition at = LastLoadPosition();
      std::cout << "preview: page " << page << " stops at line " << at.line << " of menu.inf ("
                << ErrorKindName(e.kind()) << "): later links are not shown; velmaro-author check says why\n";
    }
    std::string name = options_.out + "\\page-" + std::to_string(page);
    if (!Write(name + ".png", false)) return false;
    written->push_back(name + ".png");
    if (options_.overlay) {
      if (!Write(name + "-highlight.png", true)) return false;
      written->push_back(name + "-highlight.png");
    }
    return true;
  }

 private:
  bool Write(const std::string& file, bool lit) {
    const unsigned dpi = options_.dpi;
    int width = std::max(1, TwipsToPixels(size_.width, dpi)),
        height = std::max(1, TwipsToPixels(size_.height, dpi));
    DrawnPicture drawn(width, height);
    if (!drawn.ok()) {
      std::cerr << "velmaro-author: cannot draw " << file << " (" << width << " x " << height << " px)\n";
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
      Link(dc, lblLink(i), lit);
    if (options_.overlay)
      for (int i = kLinkCount - 1; i >= 0; --i)
        Annotate(dc, i);
    std::string error;
    if (!drawn.SavePng(FromUtf8(file), &error)) {
      std::cerr << "velmaro-author: " << error << "\n";
      return false;
    }
    return true;
  }

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
    DrawLabel(dc, options_.dpi, label.Font(), color, label.Caption(), label.Rect());
    // GDI takes another face for one that is not installed, silently: the author is told.
    const Text& wanted = label.Font().name;
    if (wanted.empty()) return;
    ScopedSelect select(dc, LabelFontHandle(label.Font(), options_.dpi));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    if (lstrcmpiW(face, wanted.substr(0, LF_FACESIZE - 1).c_str()) != 0)
      substitutes_[ToUtf8(wanted)] = ToUtf8(face);
  }

 public:
  const std::map<std::string, std::string>& Substitutes() const { return substitutes_; }

 private:
  void Annotate(HDC dc, int index) {
    const Label& label = lblLink(index);
    if (!label.Visible()) return;
    PixelRect p = TwipRectToPixels(label.Rect(), options_.dpi);
    RECT box{p.left, p.top, p.right, p.bottom};
    ScopedGdiObj magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FrameRect(dc, &box, static_cast<HBRUSH>(magenta.get()));
    Note(dc, p.right + 3, p.top,
         std::to_string(index) + ": " + ActionText(linkActions[static_cast<std::size_t>(index)]));
  }

  // A small note on a dark band, legible on any picture.
  void Note(HDC dc, int x, int y, const std::string& text) {
    ScopedGdiObj font(CreateFontW(-PointsToPixels(8, options_.dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
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

  const Options& options_;
  WindowsMachine& disc_;
  LaunchConfig config_;
  TwipSize size_ = kEmptyBox;
  std::unique_ptr<Picture> picture_;
  std::string boxNote_;
  // The faces drawn in place of fonts that links name.
  std::map<std::string, std::string> substitutes_;
};

}  // namespace

int Preview(const std::vector<std::string>& args) {
  Options options;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool more = i + 1 < args.size();
    long value = 0;
    if (a == "--out" && more) {
      options.out = args[++i];
    } else if (a == "--page" && more) {
      if (!ParseInt(args[++i], -32768, 32767, &value)) return Usage("--page takes a page number");
      options.onePage = true;
      options.page = static_cast<int>(value);
    } else if (a == "--dpi" && more) {
      if (!ParseInt(args[++i], 48, 960, &value)) return Usage("--dpi takes dots per inch, 48 to 960");
      options.dpi = static_cast<unsigned>(value);
    } else if (a == "--overlay") {
      options.overlay = true;
    } else if (options.folder.empty() && a.rfind("--", 0) != 0) {
      options.folder = a;
    } else {
      return Usage("unexpected " + a);
    }
  }
  if (options.folder.empty()) return Usage("which disc folder?");
  if (!WindowsDisc(options.folder).readable()) {
    std::cerr << "velmaro-author: cannot read the folder " << options.folder << "\n";
    return 2;
  }
  Text disc = FullPath(options.folder);
  if (options.out.empty()) {
    if (disc.size() <= 3) return Usage("the disc is the root of a drive: say where with --out DIR");
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
  Renderer renderer(options, machine);
  renderer.LoadBackground();
  unsigned fitting = renderer.FittingDpi(options.dpi);
  if (fitting == 0) {
    std::cerr << "velmaro-author: preview: the menu picture is too large to draw at any DPI ("
              << renderer.PixelSize(options.dpi) << ")\n";
    return 1;
  }
  if (fitting < options.dpi) {
    std::cout << "preview: the menu picture is " << renderer.PixelSize(options.dpi) << " at " << options.dpi
              << " DPI, larger than the " << kLargestSide << " px a side a preview can hold: drawn at "
              << fitting << " DPI (" << renderer.PixelSize(fitting) << ")\n";
    options.dpi = fitting;
  }
  machine.dpi = options.dpi;  // labels measure themselves at the DPI they are drawn at
  std::set<int> pages = options.onePage ? std::set<int>{options.page} : NamedPages();
  std::vector<std::string> written;
  for (int page : pages)
    if (!renderer.Page(page, &written)) return 1;
  for (const auto& substitute : renderer.Substitutes())
    std::cout << "preview: \"" << substitute.first << "\" is not installed here; drawn with \""
              << substitute.second << "\"\n";
  for (const std::string& file : written)
    std::cout << file << "\n";
  return 0;
}
