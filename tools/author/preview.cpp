#include "tools/author/preview.h"

#include <cairo.h>
#include <dirent.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "menu/fields.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/headless/headless_platform.h"
#include "platform/numbers.h"
#include "platform/system_colors.h"
#include "platform/textfile.h"
#include "platform/win32/units.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"
#include "tools/author/folder_path.h"

namespace {

const Text kRoot = L"D:\\";

// The empty picture box of the menu window, as created: 361 x 241 pixels at 96 DPI.
constexpr TwipSize kEmptyBox{5415, 3615};

struct Rgb {
  double r, g, b;
};

Rgb FromBgr(uint32_t bgr) {
  return Rgb{(bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0};
}

Rgb ColorOf(int32_t color) {
  return FromBgr(ColorValue(color));
}

// The widest and tallest image cairo draws.
constexpr int kLargestSide = 32767;

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

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? resolved : "";
}

// Beside the disc, named after it, so that the pictures are never burned with it: "mydisc" (or "." inside
// it) gives "mydisc-preview" in the folder that holds it. Empty for the root of the file system.
std::string DefaultOut(const std::string& disc) {
  std::string path = FolderRealPath(disc);
  if (path.empty() || path == "/") return "";
  return path + "-preview";
}

bool Inside(const std::string& path, const std::string& folder) {
  return !folder.empty() && (path == folder || path.rfind(folder + "/", 0) == 0);
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

bool MakeFolder(const std::string& path) {
  std::string at;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    at = path.substr(0, slash);
    if (!at.empty() && mkdir(at.c_str(), 0777) != 0 && errno != EEXIST) return false;
    start = slash + 1;
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Every page a line of menu.inf names that a page link can show (a whole number within the range of a
// page), and page 0, which the menu shows first.
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

const char* ActionName(const Text& type) {
  static const char* const kNames[] = {"launch", "open", "mail", "document", "folder",
                                       "page",   "quit", "none", "sound"};
  if (type.size() == 1 && type[0] >= L'0' && type[0] <= L'8') return kNames[type[0] - L'0'];
  return nullptr;
}

// A stored action as an author reads it: "3 document docs\readme.txt".
std::string ActionText(const Text& stored) {
  Text argument = stored, type;
  try {
    NextField(type, argument);
  } catch (const AppError&) {
    return ToUtf8(stored);
  }
  if (!argument.empty() && argument.back() == L'|') argument.pop_back();
  const char* name = ActionName(type);
  std::string out = ToUtf8(type);
  if (name) out += std::string(" ") + name;
  if (!argument.empty()) out += " " + ToUtf8(argument);
  return out;
}

// A picture's pixels as cairo takes them: native-endian ARGB, alpha premultiplied.
cairo_surface_t* SurfaceOf(GdkPixbuf* pixbuf) {
  int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  int outStride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const guchar* in = pixels + y * stride;
    auto* row = reinterpret_cast<uint32_t*>(out + y * outStride);
    for (int x = 0; x < width; ++x, in += channels) {
      unsigned a = alpha ? in[3] : 255;
      auto pre = [a](unsigned v) { return (v * a + 127) / 255; };
      row[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

class Renderer {
 public:
  Renderer(const Options& options, HeadlessPlatform& disc) : options_(options), disc_(disc) {}

  // Loads the page as a new process would and writes its image (and with --overlay the highlight image).
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
    std::string name = options_.out + "/page-" + std::to_string(page);
    if (!Write(name + ".png", false)) return false;
    written->push_back(name + ".png");
    if (options_.overlay) {
      if (!Write(name + "-highlight.png", true)) return false;
      written->push_back(name + "-highlight.png");
    }
    return true;
  }

  void LoadBackground() {
    config_ = ReadLaunchConfig(kRoot);
    size_ = kEmptyBox;
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + config_.menuPicture);
    if (config_.menuPicture.empty() || r.path.empty() || r.isFolder) {
      boxNote_ =
          config_.menuPicture.empty() ? "no menu picture named" : "missing: " + ToUtf8(config_.menuPicture);
      return;
    }
    PictureInfo info = InspectPicture(r.path);
    if (!info.shown || !info.decodes) {
      boxNote_ = "not shown: " + ToUtf8(config_.menuPicture);
      return;
    }
    size_ = info.size;
    if (info.format == "wmf" || info.format == "emf") {
      boxNote_ = info.format + " picture, not drawn here: " + ToUtf8(config_.menuPicture);
      return;
    }
    GError* error = nullptr;
    picture_ = gdk_pixbuf_new_from_file(r.path.c_str(), &error);
    if (error) g_error_free(error);
    if (!picture_) boxNote_ = "not shown: " + ToUtf8(config_.menuPicture);
  }

  const std::map<std::string, std::string>& Substitutes() const { return substitutes_; }

  // The highest DPI up to `dpi` at which the menu picture fits in the largest image cairo draws; 0 when
  // none does.
  unsigned FittingDpi(unsigned dpi) const {
    while (dpi > 0 && (TwipsToPixels(size_.width, dpi) > kLargestSide ||
                       TwipsToPixels(size_.height, dpi) > kLargestSide))
      dpi = std::min(dpi - 1, static_cast<unsigned>(dpi * static_cast<double>(kLargestSide) /
                                                    std::max(TwipsToPixels(size_.width, dpi),
                                                             TwipsToPixels(size_.height, dpi))));
    return dpi;
  }

  // The menu picture's size at `dpi`, in pixels, for messages.
  std::string PixelSize(unsigned dpi) const {
    return std::to_string(TwipsToPixels(size_.width, dpi)) + " x " +
           std::to_string(TwipsToPixels(size_.height, dpi)) + " px";
  }

  ~Renderer() {
    if (picture_) g_object_unref(picture_);
  }

 private:
  bool Write(const std::string& file, bool lit) {
    const unsigned dpi = options_.dpi;
    int width = std::max(1, TwipsToPixels(size_.width, dpi)),
        height = std::max(1, TwipsToPixels(size_.height, dpi));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
      std::cerr << "velmaro-author: cannot draw " << file << " (" << width << " x " << height
                << " px): " << cairo_status_to_string(cairo_surface_status(surface)) << "\n";
      cairo_surface_destroy(surface);
      return false;
    }
    cairo_t* cr = cairo_create(surface);
    Background(cr, width, height);
    for (int i = kLinkCount - 1; i >= 0; --i)
      Link(cr, lblLink(i), lit);
    if (options_.overlay)
      for (int i = kLinkCount - 1; i >= 0; --i)
        Annotate(cr, i);
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) std::cerr << "velmaro-author: cannot write " << file << "\n";
    return ok;
  }

  void Background(cairo_t* cr, int width, int height) {
    Rgb face = ColorOf(static_cast<int32_t>(0x80000000u | kSysColorButtonFace));
    cairo_set_source_rgb(cr, face.r, face.g, face.b);
    cairo_paint(cr);
    if (picture_) {
      // Scaled smoothly to the box, as the program stretches it at a higher DPI.
      GdkPixbuf* scaled = gdk_pixbuf_get_width(picture_) == width && gdk_pixbuf_get_height(picture_) == height
                              ? GDK_PIXBUF(g_object_ref(picture_))
                              : gdk_pixbuf_scale_simple(picture_, width, height, GDK_INTERP_BILINEAR);
      cairo_surface_t* image = scaled ? SurfaceOf(scaled) : nullptr;
      if (image) {
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(image);
      }
      if (scaled) g_object_unref(scaled);
      return;
    }
    // The box the program shows, with what it stands for.
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, width, height);
    cairo_move_to(cr, width, 0);
    cairo_line_to(cr, 0, height);
    cairo_stroke(cr);
    Note(cr, 4, 4, boxNote_ + " (" + std::to_string(width) + " x " + std::to_string(height) + " px)", 0.2);
  }

  // A label as DrawLabels draws it: one line, left and top in its rectangle, clipped to it.
  void Link(cairo_t* cr, const Label& label, bool lit) {
    if (!label.Visible()) return;
    PixelRect p = TwipRectToPixels(label.Rect(), options_.dpi);
    if (p.right <= p.left || p.bottom <= p.top) return;
    int32_t color = label.ForeColor();
    if (lit) {
      try {
        color = ToInt32(label.Tag());
      } catch (const AppError&) {
        // The program cannot exchange the colours: the link stays unlit.
      }
    }
    int underline = -1;
    Text shown = ShownCaption(label.Caption(), &underline);
    PangoLayout* layout = disc_.TextLayout(label.Font(), shown, options_.dpi, underline, nullptr);
    auto substitute = disc_.fontSubstitutes.find(ToUtf8(label.Font().name));
    if (substitute != disc_.fontSubstitutes.end()) substitutes_.insert(*substitute);
    cairo_save(cr);
    cairo_rectangle(cr, p.left, p.top, p.right - p.left, p.bottom - p.top);
    cairo_clip(cr);
    Rgb c = ColorOf(color);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    // The baseline lies where GDI's text cell puts it: its ascent below the top of the rectangle.
    HeadlessPlatform::Cell cell = disc_.TextCell(label.Font(), options_.dpi);
    double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    cairo_move_to(cr, p.left, p.top + (cell.ascent > 0 ? cell.ascent - baseline : 0));
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
  }

  void Annotate(cairo_t* cr, int index) {
    const Label& label = lblLink(index);
    if (!label.Visible()) return;
    PixelRect p = TwipRectToPixels(label.Rect(), options_.dpi);
    cairo_set_source_rgba(cr, 1, 0, 1, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, p.left + 0.5, p.top + 0.5, std::max(0, p.right - p.left - 1),
                    std::max(0, p.bottom - p.top - 1));
    cairo_stroke(cr);
    Note(cr, p.right + 3, p.top,
         std::to_string(index) + ": " + ActionText(linkActions[static_cast<std::size_t>(index)]), 0.85);
  }

  // A small note on a dark band, legible on any picture.
  void Note(cairo_t* cr, double x, double y, const std::string& text, double alpha) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(desc, std::round(8.0 * options_.dpi / 72) * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_text(layout, text.c_str(), -1);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
    cairo_rectangle(cr, x - 1, y, logical.width + 2, logical.height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 0.6);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(desc);
    g_object_unref(layout);
  }

  const Options& options_;
  HeadlessPlatform& disc_;
  LaunchConfig config_;
  TwipSize size_ = kEmptyBox;
  GdkPixbuf* picture_ = nullptr;
  std::string boxNote_;
  // The faces drawn in place of fonts that links name; not those of the hidden labels as created.
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

  DIR* dir = opendir(options.folder.c_str());
  if (!dir) {
    std::cerr << "velmaro-author: cannot read the folder " << options.folder << "\n";
    return 2;
  }
  closedir(dir);
  if (options.out.empty()) {
    options.out = DefaultOut(options.folder);
    if (options.out.empty())
      return Usage("the disc is the root of the file system: say where with --out DIR");
  }
  if (!MakeFolder(options.out)) {
    std::cerr << "velmaro-author: cannot make the folder " << options.out << "\n";
    return 1;
  }
  if (Inside(RealPath(options.out), FolderRealPath(options.folder)))
    std::cout << "preview: " << options.out << " is inside the disc: burned with it unless you remove it\n";

  HeadlessPlatform disc(options.folder);
  Renderer renderer(options, disc);
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
  disc.dpi = options.dpi;  // labels measure themselves at the DPI they are drawn at
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
