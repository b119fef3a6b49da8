// A platform over a real folder and no windows: the author tools run the program's own logic on a disc
// before it is burned, so what they say about it is what the program will do. The folder is the root of
// drive D:, and names are found as Windows finds them there (platform/disc_path.h), from inside the folder
// only (host_disc.h). Shell requests, multimedia commands and message boxes are recorded, not carried out;
// the end of the program throws ProgramEnded.
#pragma once

#include <iconv.h>

#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/disc_path.h"
#include "platform/headless/host_disc.h"
#include "platform/headless/measure_cache.h"
#include "platform/picture_info.h"
#include "platform/platform.h"

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;

class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(std::string folder);
  ~HeadlessPlatform() override;
  HeadlessPlatform(const HeadlessPlatform&) = delete;
  HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

  // --- The simulated machine ---
  std::string codePage = "CP1252";  // the ANSI code page, as iconv names it
  unsigned dpi = 96;
  TwipSize screen{15360, 11520};  // 1024 x 768 pixels
  wchar_t decimalSeparator = L'.';

  // --- The disc ---
  const std::string& folder() const { return folder_; }
  struct Resolved {
    LookupStatus status = LookupStatus::Missing;
    std::string path;          // in the folder, only when found (a file or a folder)
    bool caseDiffers = false;  // found only with other letter case
    bool isFolder = false;
    Text found;  // as far as it was found, the names the disc holds ("Images\Menu.png")
    std::vector<std::string> hostNames;  // where it is from the folder, links followed
  };
  // Refused for a path Windows refuses, on another drive, or with wildcards.
  Resolved Resolve(const Text& windowsPath) const;
  // The picture a lookup found; nothing unless it is a regular file.
  PictureInfo Picture(const Resolved& file) const;
  // The first `limit` bytes of a regular file a lookup found; nothing for anything else.
  std::string ReadHead(const Resolved& file, std::size_t limit) const;
  // Every name of the disc with its kind; see HostDisc::Walk.
  std::vector<HostDisc::WalkEntry> Walk() const { return tree_.Walk(); }

  // --- Running the program ---
  // A new process on the disc: every module and label as created, then the start-up sequence.
  void Start();
  bool ended = false;
  bool timerEnabled = false;
  bool menuShown = false;
  bool splashShown = false;
  TwipSize boxSize[2] = {{5415, 3615}, {5415, 3615}};  // as created, before a picture loads

  // --- What happened ---
  struct Effect {
    enum Kind { Shell, Mci, Message } kind;
    Text first, second;  // file and parameters; the command; the text and the title
  };
  std::vector<Effect> effects;
  struct PictureLoad {
    Text path;
    enum Result { Shown, Missing, Unreadable, NotShown } result;
    std::string format;  // as the decoder names it ("png", "wmf", ...)
    TwipSize size{0, 0};
  };
  std::vector<PictureLoad> pictures;
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

  // --- Platform ---
  void ShellExecuteA(Owner owner, const Text& operation, const Text& file, const Text& parameters) override;
  void mciSendStringA(const Text& command) override;
  void ShowCriticalMessage(const Text& text, const Text& title) override;
  bool FileExists(const Text& path) override;
  Text ProgramFolder() override { return L"D:\\"; }
  float ScreenWidth() override { return screen.width; }
  float ScreenHeight() override { return screen.height; }
  [[noreturn]] void EndProgram() override;
  void OpenTextFile(const Text& path) override;
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override;
  void CloseTextFile() override;
  void RewindTextFile() override;
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override;
  wchar_t DecimalSeparator() override { return decimalSeparator; }
  void LoadPictureFile(Box box, const Text& path) override;
  TwipSize BoxSize(Box box) override { return boxSize[static_cast<int>(box)]; }
  void SetInnerSize(Win window, TwipSize inner) override;
  TwipSize WindowSize(Win window) override;
  void MoveWindow(Win, float, float) override {}
  void ShowWindow(Win window) override;
  void HideWindow(Win window) override;
  void EnableTimer(bool enabled) override { timerEnabled = enabled; }
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override;
  void RepaintLabel(int, const TwipRect&, const TwipRect&) override {}
  void KeyboardFocusChanged(int, bool) override {}
  void LinksChanged() override {}
  wchar_t UpperCase(wchar_t c) override {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  }

 private:
  std::string folder_;
  HostDisc tree_;
  int textFile_ = -1;
  long long textSize_ = 0, textRead_ = 0;  // reads end at the size the file had when it was opened
  iconv_t decoder_ = reinterpret_cast<iconv_t>(-1);
  std::string decoderCodePage_;
  PangoContext* pango_ = nullptr;
  TwipSize inner_[3] = {};
  bool menuCreated_ = false;
  MeasureCache measured_;
  std::set<std::string> fontsLookedUp_;  // whether a face stands in for each is known
  std::map<std::tuple<Text, float, bool, bool, unsigned>, Cell> cells_;
  Platform* previous_;
};

// The pixels of a picture file the program can show, as the tools see them; nothing for a format it
// does not show. Metafiles are sized by the frame in their header. The file is opened without following a
// last link, and only when it is a regular file.
PictureInfo InspectPicture(const std::string& file);
