// pctSS and pctBG: flat child windows at the top left of their form that take the size of the picture
// loaded into them. pctBG also carries the windowless link labels and routes the pointer to them.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/win32/picture.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win.h"

class PictureBox {
 public:
  PictureBox(HWND parent, TwipSize size, int backgroundSysColor, bool hostsLabels);
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  HWND hwnd() const { return hwnd_; }
  TwipSize Size() const { return size_; }
  // Throws FileNotFound and keeps the current picture and size when the file cannot be loaded.
  void Load(const Text& path);
  // Sizes the window for its monitor's DPI again and redraws everything (DPI or colour scheme change).
  void Relayout();
  // Redraws the pixels covered by either rectangle (twips inside the box).
  void InvalidateTwips(const TwipRect& before, const TwipRect& after);

  static void RegisterClass(HINSTANCE instance);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void DrawMark(HDC dc);  // the keyboard's focus mark, once the keyboard has been used
  HBITMAP Background(HDC reference, int width, int height);
  int LabelUnder(LPARAM point, bool* inside) const;
  void PointerMove(LPARAM point);
  void Press(LPARAM point);
  void Release(LPARAM point);

  HWND hwnd_ = nullptr;
  TwipSize size_;
  int backgroundSysColor_;
  bool hostsLabels_;
  std::unique_ptr<Picture> picture_;
  // The picture over the background colour at the window's pixel size, drawn once per size or picture so
  // that a hover repaint is two blits. Kept only up to a large screen's worth of pixels, and tried once.
  static constexpr long long kMaxCachePixels = 3840LL * 2160;
  ScopedGdiObj cache_;
  bool cacheTried_ = false;
  int cacheWidth_ = 0, cacheHeight_ = 0;
  int pressed_ = -1;  // the label a left button press began on
};
