// The program's own logic run over the disc being edited, with the edited kavo.inf and menu.inf in place of
// the files on disk, and its own painting of the page it loads. The labels it sets up are the logic's
// (platform/controls.h), so the page view hit-tests and measures them as the program does.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win.h"

struct PageRun {
  bool pictureShown = false;  // the menu picture loaded
  TwipSize size{0, 0};        // the page's inner area
  std::vector<int> shown;     // the links shown, by index
  long stopLine = 0;          // 1-based line of menu.inf the load stopped at; 0 when it ran to the end
};

class PageRunner {
 public:
  PageRunner();
  ~PageRunner();
  PageRunner(const PageRunner&) = delete;
  PageRunner& operator=(const PageRunner&) = delete;

  // The window the page is shown in and its DPI: labels are measured at it and repainted in it.
  void SetView(HWND view, unsigned dpi);
  // `folder` ends with a backslash.
  const PageRun& Load(const Text& folder, const std::string& kavo, const std::string& menu, int page);
  const PageRun& Last() const { return run_; }
  // The page at `dpi` into `dc`, its top left at the DC's origin: the picture, then the labels.
  void Paint(HDC dc, unsigned dpi, const RECT& area);

  // Try mode: the program's sounds are played for real, as its start-up opens them; nothing else leaves.
  void StartTrying();
  void StopTrying();
  // The pointer entered a link (-1: the background), as the program's hover handling takes it.
  void Point(int link);
  // A click on the link, carried out by the program's logic. Returns what it would have done outside
  // (empty: nothing); a page link shows its page, whose number `page` receives (else -1).
  Text Click(int link, int& page);

 private:
  class Machine;
  // What the labels show after the logic changed them (a page link's load).
  void Collect();

  Machine* machine_;
  PageRun run_;
  std::string kavo_, menu_;  // the files the logic reads, kept for clicks after the load
};
