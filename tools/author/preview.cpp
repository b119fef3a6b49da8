// `preview` on Linux: each page the shared run loads, drawn by cairo and pango as GDI would draw it.
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
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "menu/fields.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/headless/headless_platform.h"
#include "platform/numbers.h"
#include "platform/system_colors.h"
#include "platform/win32/units.h"
#include "tools/author/folder_path.h"
#include "tools/author/preview_options.h"
#include "tools/author/preview_pages.h"

namespace {

struct Rgb {
  double r, g, b;
};

Rgb FromBgr(uint32_t bgr) {
  return Rgb{(bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0};
}

Rgb ColorOf(int32_t color) {
  return FromBgr(ColorValue(color));
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

class CairoPainter : public PagePainter {
 public:
  CairoPainter(bool overlay, HeadlessPlatform& disc) : overlay_(overlay), disc_(disc) {}
  ~CairoPainter() override {
    if (picture_) g_object_unref(picture_);
  }

  std::optional<TwipSize> LoadPicture(const SimulatedMachine::Resolved& file,
                                      const std::string& named) override {
    PictureInfo info = InspectPicture(file.path);
    if (!info.shown || !info.decodes) {
      boxNote_ = "not shown: " + named;
      return std::nullopt;
    }
    if (info.format == "wmf" || info.format == "emf") {
      boxNote_ = info.format + " picture, not drawn here: " + named;
      return info.size;
    }
    GError* error = nullptr;
    picture_ = gdk_pixbuf_new_from_file(file.path.c_str(), &error);
    if (error) g_error_free(error);
    if (!picture_) boxNote_ = "not shown: " + named;
    return info.size;
  }

  bool WritePage(const PagePicture& page) override {
    dpi_ = page.dpi;
    const std::string& file = page.file;
    int width = page.width, height = page.height;
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
      Link(cr, lblLink(i), page.lit);
    if (overlay_)
      for (int i = kLinkCount - 1; i >= 0; --i)
        Annotate(cr, i);
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) std::cerr << "velmaro-author: cannot write " << file << "\n";
    return ok;
  }

 private:
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
    PixelRect p = TwipRectToPixels(label.Rect(), dpi_);
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
    PangoLayout* layout = disc_.TextLayout(label.Font(), shown, dpi_, underline, nullptr);
    auto substitute = disc_.fontSubstitutes.find(ToUtf8(label.Font().name));
    if (substitute != disc_.fontSubstitutes.end()) substitutes_.insert(*substitute);
    cairo_save(cr);
    cairo_rectangle(cr, p.left, p.top, p.right - p.left, p.bottom - p.top);
    cairo_clip(cr);
    Rgb c = ColorOf(color);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    // The baseline lies where GDI's text cell puts it: its ascent below the top of the rectangle.
    HeadlessPlatform::Cell cell = disc_.TextCell(label.Font(), dpi_);
    double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    cairo_move_to(cr, p.left, p.top + (cell.ascent > 0 ? cell.ascent - baseline : 0));
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
  }

  void Annotate(cairo_t* cr, int index) {
    const Label& label = lblLink(index);
    if (!label.Visible()) return;
    PixelRect p = TwipRectToPixels(label.Rect(), dpi_);
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
    pango_font_description_set_absolute_size(desc, std::round(8.0 * dpi_ / 72) * PANGO_SCALE);
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

  const bool overlay_;
  HeadlessPlatform& disc_;
  unsigned dpi_ = 96;  // of the page being drawn
  GdkPixbuf* picture_ = nullptr;
};

}  // namespace

int Preview(const std::vector<std::string>& args) {
  PreviewOptions options;
  if (std::optional<int> status = ParsePreviewArgs(args, &options, std::cout, std::cerr)) return *status;
  DIR* dir = opendir(options.folder.c_str());
  if (!dir) {
    std::cerr << "velmaro-author: cannot read the folder " << options.folder << "\n";
    return 2;
  }
  closedir(dir);
  if (options.out.empty()) {
    options.out = DefaultOut(options.folder);
    if (options.out.empty())
      return PreviewUsage(std::cerr, "the disc is the root of the file system: say where with --out DIR");
  }
  if (!MakeFolder(options.out)) {
    std::cerr << "velmaro-author: cannot make the folder " << options.out << "\n";
    return 1;
  }
  if (Inside(RealPath(options.out), FolderRealPath(options.folder)))
    std::cout << "preview: " << options.out << " is inside the disc: burned with it unless you remove it\n";

  HeadlessPlatform disc(options.folder);
  CairoPainter painter(options.overlay, disc);
  return DrawPreviewPages(options, disc, painter, '/');
}
