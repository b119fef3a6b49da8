#include "tools/author/preview_pages.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

#include "menu/fields.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/win32/units.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"

namespace {

const Text kRoot = L"D:\\";

// The empty picture box of the menu window, as created: 361 x 241 pixels at 96 DPI.
constexpr TwipSize kEmptyBox{5415, 3615};

const char* ActionName(const Text& type) {
  static const char* const kNames[] = {"launch", "open", "mail", "document", "folder",
                                       "page",   "quit", "none", "sound"};
  if (type.size() == 1 && type[0] >= L'0' && type[0] <= L'8') return kNames[type[0] - L'0'];
  return nullptr;
}

// A size at `dpi` as the messages give it: "800 x 600 px".
std::string PixelSize(TwipSize size, unsigned dpi) {
  return std::to_string(TwipsToPixels(size.width, dpi)) + " x " +
         std::to_string(TwipsToPixels(size.height, dpi)) + " px";
}

// The menu picture kavo.inf names, loaded by the painter when the disc holds it; its size.
TwipSize LoadBackground(SimulatedMachine& machine, PagePainter& painter) {
  const Text named = ReadLaunchConfig(kRoot).menuPicture;
  if (named.empty()) {
    painter.ShowEmptyBox("no menu picture named");
    return kEmptyBox;
  }
  SimulatedMachine::Resolved found = machine.Resolve(kRoot + named);
  if (found.status != LookupStatus::Found || found.isFolder) {
    painter.ShowEmptyBox("missing: " + ToUtf8(named));
    return kEmptyBox;
  }
  return painter.LoadPicture(found, ToUtf8(named)).value_or(kEmptyBox);
}

// Loads `page` as a new process would and has it written (and with --overlay the lit one too).
bool WritePage(const PreviewOptions& options,
               TwipSize size,
               SimulatedMachine& machine,
               PagePainter& painter,
               char separator,
               int page,
               std::vector<std::string>* written) {
  events::NewProcess();
  frmMain.appPath = kRoot;
  menuReady = true;
  machine.effects.clear();
  try {
    LoadMenuPage(static_cast<int16_t>(page));
  } catch (const AppError& e) {
    LoadPosition at = LastLoadPosition();
    std::cout << "preview: page " << page << " stops at line " << at.line << " of menu.inf ("
              << ErrorKindName(e.kind()) << "): later links are not shown; velmaro-author check says why\n";
  }
  std::string name = options.out + separator + "page-" + std::to_string(page);
  PagePicture picture;
  picture.width = std::max(1, TwipsToPixels(size.width, options.dpi));
  picture.height = std::max(1, TwipsToPixels(size.height, options.dpi));
  picture.dpi = options.dpi;
  for (bool lit : {false, true}) {
    if (lit && !options.overlay) break;
    picture.file = name + (lit ? "-highlight.png" : ".png");
    picture.lit = lit;
    if (!painter.WritePage(picture)) return false;
    written->push_back(picture.file);
  }
  return true;
}

}  // namespace

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

unsigned FittingDpi(TwipSize size, unsigned dpi) {
  auto fits = [&](unsigned d) {
    return TwipsToPixels(size.width, d) <= kLargestPreviewSide &&
           TwipsToPixels(size.height, d) <= kLargestPreviewSide;
  };
  const unsigned asked = dpi;
  while (dpi > 0 && !fits(dpi))
    dpi = std::min(dpi - 1, static_cast<unsigned>(
                                dpi * static_cast<double>(kLargestPreviewSide) /
                                std::max(TwipsToPixels(size.width, dpi), TwipsToPixels(size.height, dpi))));
  // The estimate works from rounded pixels and can land one short of the highest that fits.
  while (dpi > 0 && dpi < asked && fits(dpi + 1))
    ++dpi;
  return dpi;
}

int DrawPreviewPages(PreviewOptions options,
                     SimulatedMachine& machine,
                     PagePainter& painter,
                     char separator) {
  TwipSize size = LoadBackground(machine, painter);
  unsigned fitting = FittingDpi(size, options.dpi);
  if (fitting == 0) {
    std::cerr << "velmaro-author: preview: the menu picture is too large to draw at any DPI ("
              << PixelSize(size, options.dpi) << ")\n";
    return 1;
  }
  if (fitting < options.dpi) {
    std::cout << "preview: the menu picture is " << PixelSize(size, options.dpi) << " at " << options.dpi
              << " DPI, larger than the " << kLargestPreviewSide << " px a side a preview can hold: drawn at "
              << fitting << " DPI (" << PixelSize(size, fitting) << ")\n";
    options.dpi = fitting;
  }
  machine.dpi = options.dpi;  // labels measure themselves at the DPI they are drawn at
  std::set<int> pages = options.onePage ? std::set<int>{options.page} : NamedPages();
  std::vector<std::string> written;
  for (int page : pages)
    if (!WritePage(options, size, machine, painter, separator, page, &written)) return 1;
  for (const auto& substitute : painter.Substitutes())
    std::cout << "preview: \"" << substitute.first << "\" is not installed here; drawn with \""
              << substitute.second << "\"\n";
  for (const std::string& file : written)
    std::cout << file << "\n";
  return 0;
}
