// The run of `velmaro-author preview` that Linux and Windows share: each page loaded by the program's own
// logic as a new process would load it, handed to a painter of the machine the tool runs on, with the same
// messages on both.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/headless/simulated_machine.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "tools/author/preview_options.h"

// The widest and tallest picture a preview draws: cairo's limit, kept on Windows so that both draw alike.
constexpr int kLargestPreviewSide = 32767;

// One picture of a page to write.
struct PagePicture {
  std::string file;           // the PNG
  int width = 1, height = 1;  // in pixels, the menu picture's size at `dpi`
  unsigned dpi = 96;
  bool lit = false;  // every link in its highlight colour
};

// Draws a loaded page where the tool runs: cairo and pango on Linux, the program's own GDI painting on
// Windows.
class PagePainter {
 public:
  virtual ~PagePainter() = default;
  // No menu picture will be drawn: the empty box is, saying `why`.
  void ShowEmptyBox(const std::string& why) { boxNote_ = why; }
  // Loads the menu picture kavo.inf names `named`, which the lookup found at `file`: its size, nothing when
  // it cannot tell (the empty box's is taken). Where the picture will not be drawn, the box says why.
  virtual std::optional<TwipSize> LoadPicture(const SimulatedMachine::Resolved& file,
                                              const std::string& named) = 0;
  // Draws the page the program holds and writes it; false, said on stderr, when it cannot.
  virtual bool WritePage(const PagePicture& picture) = 0;
  // The faces drawn in place of fonts that links name, by the name asked for.
  const std::map<std::string, std::string>& Substitutes() const { return substitutes_; }

 protected:
  std::string boxNote_;  // what the empty box stands for
  // The faces drawn in place of fonts that shown links name (not the hidden labels' as created).
  std::map<std::string, std::string> substitutes_;
};

// Every page a line of menu.inf names that a page link can show (a whole number within the range of a
// page), and page 0, which the menu shows first.
std::set<int> NamedPages();

// A stored action as an author reads it: "3 document docs\readme.txt".
std::string ActionText(const Text& stored);

// The highest DPI up to `dpi` at which a picture of `size` fits in the largest picture a preview draws; 0
// when none does.
unsigned FittingDpi(TwipSize size, unsigned dpi);

// Draws the pages `options` asks for over `machine`, whose folder is the disc, into the existing folder
// options.out, `separator` before each file's name. Returns the exit status.
int DrawPreviewPages(PreviewOptions options, SimulatedMachine& machine, PagePainter& painter, char separator);
