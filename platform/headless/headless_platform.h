// A platform over a real folder of this Linux machine and no windows: the simulated machine of the author
// tools (simulated_machine.h) with the folder read from inside only (host_disc.h), ANSI decoded by iconv,
// pictures inspected by gdk-pixbuf and text measured with pango as GDI would measure it.
#pragma once

#include <iconv.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/headless/host_disc.h"
#include "platform/headless/measure_cache.h"
#include "platform/headless/simulated_machine.h"
#include "platform/picture_info.h"
#include "platform/platform.h"

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;

class HeadlessPlatform : public SimulatedMachine {
 public:
  explicit HeadlessPlatform(std::string folder);
  ~HeadlessPlatform() override;

  PictureInfo Picture(const Resolved& file) const override;

  // Each font a caption asked for that is not on this machine, with the face used in its place.
  std::map<std::string, std::string> fontSubstitutes;

  // The font a label is drawn in at `dpi`, for measuring and drawing with pango; the caller frees it.
  PangoFontDescription* FontDescription(const LabelFont& font, unsigned atDpi);
  // A layout of the shown text in that font, set as GDI sets a line: each glyph at its own advance, without
  // the kerning and ligatures pango would apply, and at sizes where the font asks for no grey smoothing
  // (its gasp table) at the advance of its fully hinted glyph, as GDI then draws it. `underline` marks one
  // character. `width` receives the pixels the line covers. The caller frees the layout.
  PangoLayout* TextLayout(const LabelFont& font,
                          const Text& shown,
                          unsigned atDpi,
                          int underline,
                          int* width);
  // The text cell GDI gives that font, in pixels: ascent and descent from the font's Windows metrics
  // (OS/2 usWinAscent and usWinDescent), each rounded as GDI rounds them. DrawText puts the top of the cell
  // at the top of its rectangle; its height is the height of a label.
  struct Cell {
    int ascent, descent;
  };
  Cell TextCell(const LabelFont& font, unsigned atDpi);
  PangoContext* pango() { return pango_; }
  // Captions are measured into `kept` from now on, which outlives this machine: checks of one disc one
  // after another measure each caption once.
  void KeepMeasuresIn(MeasureCache& kept) { measured_ = &kept; }

  // --- Platform ---
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override;
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override;

 protected:
  const DiscTree& disc() const override { return tree_; }

 private:
  HostDisc tree_;
  iconv_t decoder_ = reinterpret_cast<iconv_t>(-1);
  std::string decoderCodePage_;
  PangoContext* pango_ = nullptr;
  MeasureCache ownMeasures_;
  MeasureCache* measured_ = &ownMeasures_;
  std::set<std::string> fontsLookedUp_;  // whether a face stands in for each is known
  std::map<std::tuple<Text, float, bool, bool, unsigned>, Cell> cells_;
};

// The pixels of a picture file the program can show, as the tools see them; nothing for a format it
// does not show. Metafiles are sized by the frame in their header. The file is opened without following a
// last link, and only when it is a regular file.
PictureInfo InspectPicture(const std::string& file);
