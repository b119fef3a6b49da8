// The designer window's fonts: its side column in the message font of the window's DPI, and fonts installed
// or removed while it is open.
#include <memory>

#include "platform/controls.h"
#include "platform/win32/dpi.h"
#include "tools/design/designer_window.h"

void DesignerWindow::FitSideColumnFont(unsigned dpi) {
  // The panel's old font stays until the findings and the status line have the new one.
  PanelFont replaced = panel_->SetDpi(dpi);
  HFONT font = panel_->Font().get();
  if (!findings_) return;  // made later with the panel's font
  findings_->SetFont(font, dpi);
  SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void DesignerWindow::FontsChanged() {
  FitSideColumnFont(WindowDpi(hwnd_));  // the message font may be the one that changed
  Layout();
  if (!session_) return;
  // The check keeps captions measured by font name, and a name may now stand for another font.
  checker_ = std::make_unique<DiscChecker>();
  RemeasureLabels();
  Refresh();  // the page measured and drawn again, and checked again
}
