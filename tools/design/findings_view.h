// The check's findings beside the page: one row each, with its severity, its place and its message.
#pragma once

#include <functional>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win.h"
#include "tools/author/check.h"

class FindingsView {
 public:
  FindingsView(HWND parent, int id);
  FindingsView(const FindingsView&) = delete;
  FindingsView& operator=(const FindingsView&) = delete;
  HWND hwnd() const { return hwnd_; }

  // Shows a new result, keeping the row of the same finding selected where it is still there.
  void Show(const CheckResult& result);
  const std::vector<Finding>& Findings() const { return findings_; }
  // "2 errors, 1 warning", for the status line.
  Text Summary() const;
  void FitColumns();
  // The side column's font at the window's DPI: the rows and the columns sized for it.
  void SetFont(HFONT font, unsigned dpi);

  // The window procedure of the parent hands its notifications here; true when it was the list's.
  bool Notify(const NMHDR& header);
  // A finding was chosen (selected with the pointer or the keys).
  std::function<void(const Finding&)> onChosen;

 private:
  HWND hwnd_ = nullptr;
  std::vector<Finding> findings_;
  bool filling_ = false;
  unsigned dpi_ = 96;  // the columns' widths are given at 96
};
