// What the link panel and the start-up dialog share: their font, standard controls made and placed in
// one call, edit boxes that commit on Enter and take back on Escape, and colour swatches.
#pragma once

#include "platform/text.h"
#include "platform/win32/scoped.h"

// A length in pixels at 96 DPI, at `dpi`.
inline int ScaleFrom96(int pixels, unsigned dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// Sent to a watched control's parent as WM_COMMAND notifications (the control's id in the low word).
constexpr WORD kEnterPressed = 0x7F01;
constexpr WORD kEscapePressed = 0x7F02;

// The system's message font, as dialogs use it, with the height of one line of it.
class PanelFont {
 public:
  // At `dpi`, for a window on a monitor of its own scale; 0: the system's DPI.
  explicit PanelFont(unsigned dpi = 0);
  HFONT get() const { return static_cast<HFONT>(font_.get()); }
  int LineHeight() const { return lineHeight_; }
  int AverageWidth() const { return averageWidth_; }
  int TextWidth(const Text& text) const;

 private:
  ScopedGdiObj font_;
  int lineHeight_ = 16;
  int averageWidth_ = 7;
};

HWND MakeControl(HWND parent,
                 const wchar_t* windowClass,
                 const Text& text,
                 DWORD style,
                 int id,
                 const PanelFont& font);
Text WindowText(HWND window);
void SetWindowTextIfChanged(HWND window, const Text& text);
void Place(HWND window, int x, int y, int width, int height);

// Lets Enter and Escape reach the control's parent as kEnterPressed and kEscapePressed, where a dialog
// would take them for its default and cancel buttons.
void WatchEnterAndEscape(HWND control);

// A push button drawn with a swatch of `colour` (hatched when the field holds no colour the program reads)
// before its text; the text stays the button's name for screen readers.
void DrawSwatchButton(const DRAWITEMSTRUCT& item, COLORREF colour, bool readable);

// Upper case as Windows compares file names.
wchar_t FileNameUpperCase(wchar_t c);
