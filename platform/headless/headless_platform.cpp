#include "platform/headless/headless_platform.h"

#include <fcntl.h>
#include <ft2build.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include <hb-ot.h>
#include <pango/pangocairo.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwctype>

#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/headless/iconv_decode.h"
#include "platform/metafile.h"

namespace {

constexpr float kTwipsPerPixel = 15;  // pictures are sized at 96 DPI

}  // namespace

namespace {

PictureInfo InspectOpenPicture(int fd) {
  PictureInfo info;
  struct stat st;
  if (fd < 0) return info;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return info;
  }
  info.exists = true;
  unsigned char header[44] = {};
  ssize_t got = pread(fd, header, sizeof header, 0);
  if (got > 0 && MetafileFrame(header, static_cast<std::size_t>(got), &info.size)) {
    info.format = header[0] == 1 ? "emf" : "wmf";
    info.decodes = info.shown = true;
    close(fd);
    return info;
  }
  // gdk-pixbuf reads by name: the name of the descriptor already checked, so it cannot be swapped for a
  // FIFO or a link in between.
  std::string name = "/proc/self/fd/" + std::to_string(fd);
  int width = 0, height = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(name.c_str(), &width, &height);
  if (format) {
    gchar* formatName = gdk_pixbuf_format_get_name(format);
    info.format = formatName ? formatName : "";
    g_free(formatName);
    static const char* const kShown[] = {"bmp", "jpeg", "gif", "png", "ico"};
    info.shown =
        std::any_of(std::begin(kShown), std::end(kShown), [&](const char* f) { return info.format == f; });
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(name.c_str(), &error);
    info.decodes = pixbuf != nullptr;
    if (pixbuf) g_object_unref(pixbuf);
    if (error) g_error_free(error);
    info.size = TwipSize{width * kTwipsPerPixel, height * kTwipsPerPixel};
  }
  close(fd);
  return info;
}

}  // namespace

PictureInfo InspectPicture(const std::string& file) {
  return InspectOpenPicture(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
}

PictureInfo HeadlessPlatform::Picture(const Resolved& file) const {
  if (file.status != LookupStatus::Found || file.isFolder) return PictureInfo();
  return InspectOpenPicture(tree_.OpenRegular(file.hostNames));
}

HeadlessPlatform::HeadlessPlatform(std::string folder) : SimulatedMachine(folder, '/'), tree_(folder) {
  pango_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
}

HeadlessPlatform::~HeadlessPlatform() {
  CloseTextFile();
  if (decoder_ != reinterpret_cast<iconv_t>(-1)) iconv_close(decoder_);
  if (pango_) g_object_unref(pango_);
}

void HeadlessPlatform::DecodeAnsi(const char* bytes, std::size_t length, Text& into) {
  // Every code page reads ASCII as ASCII; most lines are nothing else.
  if (std::all_of(bytes, bytes + length, [](char b) { return (b & 0x80) == 0; })) {
    into.assign(bytes, bytes + length);
    return;
  }
  if (decoderCodePage_ != codePage) {
    if (decoder_ != reinterpret_cast<iconv_t>(-1)) iconv_close(decoder_);
    decoder_ = iconv_open("WCHAR_T", codePage.c_str());
    decoderCodePage_ = codePage;
  }
  into.assign(length, L'\0');
  if (decoder_ == reinterpret_cast<iconv_t>(-1)) {
    std::transform(bytes, bytes + length, into.begin(),
                   [](char b) { return static_cast<wchar_t>(static_cast<unsigned char>(b)); });
    return;
  }
  IconvDecode(decoder_, bytes, length, into);
}

PangoFontDescription* HeadlessPlatform::FontDescription(const LabelFont& font, unsigned atDpi) {
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, ToUtf8(font.name).c_str());
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  // The em height in whole pixels, as a negative LOGFONT height asks for it.
  double pixels = std::round(font.size * atDpi / 72.0);
  pixels = std::min(std::max(pixels, 1.0), 4096.0);
  pango_font_description_set_absolute_size(desc, pixels * PANGO_SCALE);

  std::string wanted = ToUtf8(font.name);
  if (!wanted.empty() && fontsLookedUp_.insert(wanted).second) {
    PangoFont* loaded = pango_font_map_load_font(pango_context_get_font_map(pango_), pango_, desc);
    if (loaded) {
      PangoFontDescription* got = pango_font_describe(loaded);
      const char* family = pango_font_description_get_family(got);
      if (family && strcasecmp(family, wanted.c_str()) != 0) fontSubstitutes[wanted] = family;
      pango_font_description_free(got);
      g_object_unref(loaded);
    }
  }
  return desc;
}

HeadlessPlatform::Cell HeadlessPlatform::TextCell(const LabelFont& font, unsigned atDpi) {
  auto key = std::make_tuple(font.name, font.size, font.bold, font.italic, atDpi);
  auto known = cells_.find(key);
  if (known != cells_.end()) return known->second;
  PangoFontDescription* desc = FontDescription(font, atDpi);
  double ppem = pango_font_description_get_size(desc) / static_cast<double>(PANGO_SCALE);
  Cell cell{0, 0};
  PangoFont* loaded = pango_font_map_load_font(pango_context_get_font_map(pango_), pango_, desc);
  if (loaded) {
    hb_face_t* face = hb_font_get_face(pango_font_get_hb_font(loaded));
    // A font of its own at one unit per design unit, so the metrics come unscaled.
    hb_font_t* units = hb_font_create(face);
    double upem = hb_face_get_upem(face);
    hb_position_t ascent = 0, descent = 0;
    bool win = hb_ot_metrics_get_position(units, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT, &ascent) &&
               hb_ot_metrics_get_position(units, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_DESCENT, &descent) &&
               ascent + descent != 0;
    if (!win) {
      hb_font_extents_t extents{};
      hb_font_get_h_extents(units, &extents);
      ascent = extents.ascender;
      descent = -extents.descender;
    }
    hb_font_destroy(units);
    g_object_unref(loaded);
    if (upem > 0) {
      cell.ascent = static_cast<int>(std::lround(ascent * ppem / upem));
      cell.descent = static_cast<int>(std::lround(std::abs(descent) * ppem / upem));
    }
  }
  pango_font_description_free(desc);
  cells_.emplace(key, cell);
  return cell;
}

namespace {

// Whether the font asks for grey smoothing at this size; without a gasp table it gets it.
bool GreyAt(hb_face_t* face, unsigned ppem) {
  hb_blob_t* blob = hb_face_reference_table(face, HB_TAG('g', 'a', 's', 'p'));
  unsigned length = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(hb_blob_get_data(blob, &length));
  bool grey = true;
  if (length >= 4) {
    unsigned ranges = (data[2] << 8) | data[3];
    for (unsigned i = 0; i < ranges && 4 + 4 * i + 4 <= length; ++i) {
      const unsigned char* range = data + 4 + 4 * i;
      if (ppem <= static_cast<unsigned>((range[0] << 8) | range[1])) {
        grey = (((range[2] << 8) | range[3]) & 0x2) != 0;
        break;
      }
    }
  }
  hb_blob_destroy(blob);
  return grey;
}

// Without grey smoothing GDI hints each glyph fully, with the TrueType interpreter of its own (FreeType's
// v35), and advances by the hinted width.
void HintedAdvances(PangoGlyphItem* run, unsigned ppem) {
  hb_face_t* face = hb_font_get_face(pango_font_get_hb_font(run->item->analysis.font));
  if (GreyAt(face, ppem)) return;
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) return static_cast<FT_Library>(nullptr);
    FT_UInt v35 = 35;
    FT_Property_Set(l, "truetype", "interpreter-version", &v35);
    return l;
  }();
  if (!library) return;
  hb_blob_t* blob = hb_face_reference_blob(face);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  FT_Face ft = nullptr;
  if (length > 0 && FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data), length,
                                       static_cast<FT_Long>(hb_face_get_index(face)), &ft) == 0) {
    if (FT_Set_Pixel_Sizes(ft, 0, ppem) == 0) {
      PangoGlyphString* glyphs = run->glyphs;
      for (int i = 0; i < glyphs->num_glyphs; ++i) {
        PangoGlyphInfo& glyph = glyphs->glyphs[i];
        if (glyph.glyph & PANGO_GLYPH_UNKNOWN_FLAG) continue;
        if (FT_Load_Glyph(ft, glyph.glyph, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0)
          glyph.geometry.width = static_cast<int>((ft->glyph->metrics.horiAdvance + 63) >> 6) * PANGO_SCALE;
      }
    }
    FT_Done_Face(ft);
  }
  hb_blob_destroy(blob);
}

}  // namespace

PangoLayout* HeadlessPlatform::TextLayout(const LabelFont& font,
                                          const Text& shown,
                                          unsigned atDpi,
                                          int underline,
                                          int* width) {
  PangoLayout* layout = pango_layout_new(pango_);
  PangoFontDescription* desc = FontDescription(font, atDpi);
  unsigned ppem = static_cast<unsigned>(pango_font_description_get_size(desc) / PANGO_SCALE);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  std::string text = ToUtf8(shown);
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  PangoAttrList* attrs = pango_attr_list_new();
  pango_attr_list_insert(attrs, pango_attr_font_features_new("kern 0, liga 0, clig 0"));
  if (underline >= 0 && static_cast<std::size_t>(underline) < shown.size()) {
    PangoAttribute* attr = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    attr->start_index =
        static_cast<guint>(ToUtf8(shown.substr(0, static_cast<std::size_t>(underline))).size());
    attr->end_index = attr->start_index +
                      static_cast<guint>(ToUtf8(shown.substr(static_cast<std::size_t>(underline), 1)).size());
    pango_attr_list_insert(attrs, attr);
  }
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);

  // An italic last letter leans past its advance; the label covers it, as on Windows.
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  int overhang = std::max(0, ink.x + ink.width - logical.width);
  int advance = 0;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  for (GSList* item = line ? line->runs : nullptr; item; item = item->next) {
    auto* run = static_cast<PangoGlyphItem*>(item->data);
    HintedAdvances(run, ppem);
    for (int i = 0; i < run->glyphs->num_glyphs; ++i)
      advance += run->glyphs->glyphs[i].geometry.width;
  }
  if (width) *width = PANGO_PIXELS(advance) + overhang;
  return layout;
}

TwipSize HeadlessPlatform::MeasureText(const LabelFont& font, const Text& caption) {
  if (const TwipSize* known = measured_->Find(font, dpi, caption)) return *known;
  int width = 0;
  PangoLayout* layout = TextLayout(font, ShownCaption(caption), dpi, -1, &width);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  g_object_unref(layout);
  // One line is as high as GDI's text cell, whatever line gap pango would add.
  Cell cell = TextCell(font, dpi);
  int height = cell.ascent + cell.descent > 0 ? cell.ascent + cell.descent : logical.height;
  float perPixel = 1440.0f / static_cast<float>(dpi);
  TwipSize size{width * perPixel, height * perPixel};
  measured_->Keep(font, dpi, caption, size);
  return size;
}
