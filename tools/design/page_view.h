// The page as the program shows it, for editing: click a link to select it, drag it or move it with the
// arrow keys. Moves are handed to the owner, which edits menu.inf and loads the page again.
#pragma once

#include <functional>
#include <vector>

#include "platform/win32/win.h"
#include "tools/design/page_gestures.h"
#include "tools/design/page_runner.h"

class PageViewOwner {
 public:
  virtual ~PageViewOwner() = default;
  virtual void SelectionChanged(int link) = 0;
  // Move the link by whole pixels of the view's DPI.
  virtual void MoveLink(int link, int dx, int dy) = 0;
  virtual void DeleteLink(int link) = 0;
  // Try mode: a click on the link.
  virtual void TryClick(int link) = 0;
  virtual void TryPoint(int link) = 0;
};

class PageView {
 public:
  PageView(HWND parent, PageViewOwner& owner, PageRunner& runner, int id);
  PageView(const PageView&) = delete;
  PageView& operator=(const PageView&) = delete;
  HWND hwnd() const { return hwnd_; }

  // The page was loaded again: repaint, keep the selection where its link is still shown.
  void PageLoaded();
  int Selected() const { return gestures_.Selected(); }
  void Select(int link);
  void SetTryMode(bool on);
  // The pixel size the page takes at the view's DPI.
  SIZE PageSize() const;

  static void RegisterClass(HINSTANCE instance);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void DrawSelection(HDC dc, unsigned dpi);
  void Press(int x, int y);
  void Drag(int x, int y);
  void Release();
  void Key(WPARAM key);
  // Shows the dragged link at its offset: the label itself moves until the edit loads the page again.
  void ShowOffset(int dx, int dy);
  unsigned Dpi() const;

  HWND hwnd_ = nullptr;
  PageViewOwner& owner_;
  PageRunner& runner_;
  PageGestures gestures_;
  bool tryMode_ = false;
  int pointed_ = -1;
  float dragLeft_ = 0, dragTop_ = 0;  // the dragged label's place before the drag
};
