#include "tools/design/findings_view.h"

#include "platform/win32/win.h"
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "tools/design/panel_controls.h"

namespace {

constexpr int kShortColumn = 70;  // severity and place, at 96 DPI
constexpr int kLeastMessage =
    160;  // the message's column at least, at 96 DPI: the list holds it beside a scroll bar

const wchar_t* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return L"error";
    case Severity::Warning:
      return L"warning";
    case Severity::Note:
      return L"note";
  }
  return L"";
}

Text Place(const Finding& finding) {
  Text place = FromUtf8(finding.file);
  if (finding.line > 0) place += L":" + std::to_wstring(finding.line);
  return place;
}

bool SameFinding(const Finding& a, const Finding& b) {
  return a.code == b.code && a.file == b.file && a.line == b.line && a.message == b.message;
}

Text Count(std::size_t n, const wchar_t* what) {
  return std::to_wstring(n) + L" " + what + (n == 1 ? L"" : L"s");
}

void SetCell(HWND list, int row, int column, const Text& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

FindingsView::FindingsView(HWND parent, int id) {
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Findings",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
  const wchar_t* titles[] = {L"Severity", L"Where", L"Finding"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(titles[i]);
    column.cx = i == 2 ? 400 : kShortColumn;
    column.iSubItem = i;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
}

void FindingsView::Show(const CheckResult& result) {
  int selected = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
  Finding kept = selected >= 0 && selected < static_cast<int>(findings_.size())
                     ? findings_[static_cast<std::size_t>(selected)]
                     : Finding();
  // Errors first, then warnings, then notes; in the check's order within each.
  findings_ = result.findings;
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
  filling_ = true;
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(hwnd_);
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    const Finding& finding = findings_[i];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(SeverityName(finding.severity));
    int row = static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCell(hwnd_, row, 1, Place(finding));
    SetCell(hwnd_, row, 2, FromUtf8(finding.message + " [" + finding.code + "]"));
    if (selected >= 0 && SameFinding(finding, kept)) {
      ListView_SetItemState(hwnd_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      selected = -1;
    }
  }
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  filling_ = false;
}

Text FindingsView::Summary() const {
  std::size_t counts[3] = {};
  for (const Finding& finding : findings_)
    ++counts[static_cast<int>(finding.severity)];
  if (findings_.empty()) return L"No findings";
  return Count(counts[0], L"error") + L", " + Count(counts[1], L"warning") + L", " +
         Count(counts[2], L"note");
}

void FindingsView::FitColumns() {
  RECT client;
  GetClientRect(hwnd_, &client);
  int rest = client.right - ListView_GetColumnWidth(hwnd_, 0) - ListView_GetColumnWidth(hwnd_, 1);
  // The message keeps at least a useful width; a longer one shows whole in its tip.
  ListView_SetColumnWidth(hwnd_, 2, std::max(rest, ScaleFrom96(kLeastMessage, dpi_)));
}

void FindingsView::SetFont(HFONT font, unsigned dpi) {
  dpi_ = dpi;
  // The list hands the font to its header too.
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ListView_SetColumnWidth(hwnd_, 0, ScaleFrom96(kShortColumn, dpi));
  ListView_SetColumnWidth(hwnd_, 1, ScaleFrom96(kShortColumn, dpi));
  FitColumns();
}

bool FindingsView::Notify(const NMHDR& header) {
  if (header.hwndFrom != hwnd_) return false;
  if (header.code == LVN_ITEMCHANGED && !filling_) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    bool nowSelected = (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED);
    if (nowSelected && change.iItem >= 0 && change.iItem < static_cast<int>(findings_.size()) && onChosen)
      onChosen(findings_[static_cast<std::size_t>(change.iItem)]);
  }
  return true;
}
