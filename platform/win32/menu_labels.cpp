// The labels as the platform seam sees them: measured in frmMenu at its DPI, repainted in its picture box.
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/labels.h"
#include "platform/win32/picture_box.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

TwipSize Win32Platform::MeasureText(const LabelFont& font, const Text& caption) {
  // The labels belong to frmMenu, so measuring one is a use of it; its DPI is the one they are drawn at.
  HWND menu = Form(Win::Menu);
  ScopedWindowDc dc(menu);
  return MeasureLabel(dc.get(), font, WindowDpi(menu), caption);
}

void Win32Platform::RepaintLabel(int, const TwipRect& before, const TwipRect& after) {
  MenuBox().InvalidateTwips(before, after);
}
