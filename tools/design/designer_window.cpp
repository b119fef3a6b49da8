#include "tools/design/designer_window.h"

#include "platform/win32/win.h"
// after windows.h
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <system_error>

#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/win32/boundary.h"
#include "platform/win32/dpi.h"
#include "platform/win32/units.h"
#include "tools/design/commands.h"
#include "tools/design/designer_shared.h"
#include "tools/design/folder_dialog.h"
#include "tools/design/link_lines.h"
#include "tools/design/link_move.h"
#include "tools/edit/edit_error.h"
#include "tools/edit/menu_editor.h"

namespace {

const wchar_t kClassName[] = L"VelmaroDesigner";
Text WithSeparator(Text folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

}  // namespace

void DesignerWindow::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.hIcon = LoadIcon(instance, MAKEINTRESOURCE(1));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  PageView::RegisterClass(instance);
}

DesignerWindow::DesignerWindow(HINSTANCE instance) : instance_(instance) {
  CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kProduct, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                  CW_USEDEFAULT, CW_USEDEFAULT, 900, 600, nullptr, nullptr, instance, this);
  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'O', kCmdOpen},          {FCONTROL | FVIRTKEY, 'S', kCmdSave},
      {FCONTROL | FVIRTKEY, 'Z', kCmdUndo},          {FCONTROL | FVIRTKEY, 'Y', kCmdRedo},
      {FCONTROL | FSHIFT | FVIRTKEY, 'Z', kCmdRedo}, {FVIRTKEY, VK_F5, kCmdTryMode},
      {FCONTROL | FVIRTKEY, VK_NEXT, kCmdNextPage},  {FCONTROL | FVIRTKEY, VK_PRIOR, kCmdPreviousPage},
      {FCONTROL | FVIRTKEY, '1', kCmdFocusPage},     {FCONTROL | FVIRTKEY, '2', kCmdFocusPanel},
      {FCONTROL | FVIRTKEY, '3', kCmdFocusFindings}, {FVIRTKEY, VK_F6, kCmdNextPane},
      {FSHIFT | FVIRTKEY, VK_F6, kCmdPreviousPane},  {FCONTROL | FVIRTKEY, 'N', kCmdAddLink},
      {FCONTROL | FVIRTKEY, 'D', kCmdDuplicateLink}, {FCONTROL | FVIRTKEY, 'K', kCmdStartup},
  };
  accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

DesignerWindow::~DesignerWindow() {
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

LRESULT CALLBACK DesignerWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<DesignerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<DesignerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (Contained([&] { result = window->Handle(message, wParam, lParam); })) return result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT DesignerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      // The status line, the findings and the panel's controls come once the page has shown.
      page_ = std::make_unique<PageView>(hwnd_, *this, runner_, kIdPage);
      panel_ = std::make_unique<LinkPanel>(hwnd_, kIdPanel);
      WirePanel();
      BuildMenu();
      SetTimer(hwnd_, kCompleteTimer, USER_TIMER_MINIMUM, nullptr);
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED: {
      AnnounceDpi(hwnd_, HIWORD(wParam));
      FitSideColumnFont(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();  // a window of the same size gets no WM_SIZE, yet its side column has new sizes
      RemeasureLabels();
      Refresh();
      return 0;
    }
    case WM_FONTCHANGE:
      FontsChanged();
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      UpdateMenu();
      return 0;
    case WM_NOTIFY:
      if (findings_ && findings_->Notify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
    case WM_TIMER:
      if (wParam == kCheckTimer) {
        KillTimer(hwnd_, kCheckTimer);
        RunCheck();
      }
      if (wParam == kCompleteTimer) {
        KillTimer(hwnd_, kCompleteTimer);
        CompleteWindow();
      }
      if (wParam == kSettleTimer) {
        KillTimer(hwnd_, kSettleTimer);
        DiskChanged();
      }
      return 0;
    case WM_ACTIVATE:
      // Coming back from a text editor: what it saved shows at once, even where no notice came.
      if (LOWORD(wParam) != WA_INACTIVE && session_) SetTimer(hwnd_, kSettleTimer, 50, nullptr);
      break;
    case WM_CLOSE:
      if (MayClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void DesignerWindow::BuildMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU edit = CreatePopupMenu();
  HMENU view = CreatePopupMenu();
  HMENU page = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(page), L"&Page");
  AppendMenuW(edit, MF_STRING, kCmdUndo, L"&Undo\tCtrl+Z");
  AppendMenuW(edit, MF_STRING, kCmdRedo, L"&Redo\tCtrl+Y");
  AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(edit, MF_STRING, kCmdAddLink, L"&Add link\tCtrl+N");
  AppendMenuW(edit, MF_STRING, kCmdDuplicateLink, L"D&uplicate link\tCtrl+D");
  AppendMenuW(edit, MF_STRING, kCmdDeleteLink, L"&Delete link\tDel on the page");
  AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(edit, MF_STRING, kCmdStartup, L"&Start-up settings...\tCtrl+K");
  AppendMenuW(page, MF_STRING, kCmdAddPage, L"&Add page");
  AppendMenuW(page, MF_STRING, kCmdDuplicatePage, L"&Duplicate page");
  AppendMenuW(page, MF_STRING, kCmdDeletePage, L"De&lete page");
  AppendMenuW(view, MF_STRING, kCmdTryMode, L"&Try the page\tF5");
  AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(view, MF_STRING, kCmdNextPage, L"&Next page\tCtrl+PgDn");
  AppendMenuW(view, MF_STRING, kCmdPreviousPage, L"&Previous page\tCtrl+PgUp");
  AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(view, MF_STRING, kCmdFocusPage, L"P&age\tCtrl+1");
  AppendMenuW(view, MF_STRING, kCmdFocusPanel, L"&Link\tCtrl+2");
  AppendMenuW(view, MF_STRING, kCmdFocusFindings, L"&Findings\tCtrl+3");
  AppendMenuW(view, MF_STRING, kCmdNextPane, L"Next pa&ne\tF6");
  SetMenu(hwnd_, bar);
  UpdateMenu();
}

void DesignerWindow::UpdateMenu() {
  HMENU bar = GetMenu(hwnd_);
  if (!bar) return;
  HMENU file = GetSubMenu(bar, 0);
  while (GetMenuItemCount(file) > 0)
    DeleteMenu(file, 0, MF_BYPOSITION);
  AppendMenuW(file, MF_STRING, kCmdOpen, L"&Open disc folder...\tCtrl+O");
  AppendMenuW(file, MF_STRING | (session_ ? 0 : MF_GRAYED), kCmdSave, L"&Save\tCtrl+S");
  const std::vector<Text>& folders = recent_.Folders();
  if (!folders.empty()) AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  for (std::size_t i = 0; i < folders.size() && kCmdRecentFirst + static_cast<int>(i) <= kCmdRecentLast;
       ++i) {
    Text item = L"&" + std::to_wstring(i + 1) + L" " + folders[i];
    AppendMenuW(file, MF_STRING, kCmdRecentFirst + i, item.c_str());
  }
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kCmdExit, L"E&xit");
  HMENU edit = GetSubMenu(bar, 1);
  EnableMenuItem(edit, kCmdUndo, session_ && session_->CanUndo() ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(edit, kCmdRedo, session_ && session_->CanRedo() ? MF_ENABLED : MF_GRAYED);
  CheckMenuItem(GetSubMenu(bar, 2), kCmdTryMode, tryMode_ ? MF_CHECKED : MF_UNCHECKED);
}

void DesignerWindow::Command(int id) {
  if (id >= kCmdRecentFirst && id <= kCmdRecentLast) {
    std::size_t index = static_cast<std::size_t>(id - kCmdRecentFirst);
    if (index < recent_.Folders().size() && MayClose()) {
      Text folder = recent_.Folders()[index];
      Open(folder);
    }
    return;
  }
  switch (id) {
    case kCmdOpen:
      if (MayClose()) AskForDisc();
      return;
    case kCmdSave:
      Save();
      return;
    case kCmdExit:
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      return;
    case kCmdUndo:
      Undo();
      return;
    case kCmdRedo:
      Redo();
      return;
    case kCmdTryMode:
      if (!session_) return;
      tryMode_ = !tryMode_;
      if (tryMode_) {
        Refresh();  // from a freshly loaded page, as the program starts
        runner_.StartTrying();
      } else {
        runner_.StopTrying();
      }
      page_->SetTryMode(tryMode_);
      Status(tryMode_ ? L"Try mode: point at links and click them as on the disc (F5 to edit again)"
                      : L"Edit mode");
      if (!tryMode_) Refresh();
      return;
    case kCmdNextPage:
      ShowPage(pageNumber_ + 1);
      return;
    case kCmdPreviousPage:
      if (pageNumber_ > 0) ShowPage(pageNumber_ - 1);
      return;
    case kCmdFocusPage:
      SetFocus(page_->hwnd());
      return;
    case kCmdFocusPanel:
      panel_->Focus();
      return;
    case kCmdNextPane:
    case kCmdPreviousPane: {
      // F6 goes round the three panes, as in other Windows programs.
      HWND focus = GetFocus();
      int pane = focus == page_->hwnd() ? 0
                                        : (findings_ && focus == findings_->hwnd()
                                               ? 2
                                               : (focus && IsChild(panel_->Window(), focus) ? 1 : -1));
      pane = (pane + (id == kCmdNextPane ? 1 : 2)) % 3;
      if (pane < 0) pane = 0;
      Command(pane == 0 ? kCmdFocusPage : pane == 1 ? kCmdFocusPanel : kCmdFocusFindings);
      return;
    }
    case kCmdAddLink:
      AddLinkToPage();
      return;
    case kCmdDuplicateLink:
      DuplicateSelectedLink();
      return;
    case kCmdDeleteLink:
      DeleteSelectedLink();
      return;
    case kCmdAddPage:
      AddNewPage();
      return;
    case kCmdDuplicatePage:
      DuplicateShownPage();
      return;
    case kCmdDeletePage:
      DeleteShownPage();
      return;
    case kCmdStartup:
      EditStartup();
      return;
    case kCmdFocusFindings:
      CompleteWindow();
      SetFocus(findings_->hwnd());
      return;
  }
}

void DesignerWindow::UpdateTitle() {
  Text title = kProduct;
  if (session_) {
    Text folder = session_->Folder();
    if (folder.size() > 1) folder.pop_back();
    title = (session_->Modified() ? L"*" : L"") + folder + L" - page " + std::to_wstring(pageNumber_) +
            L" - " + kProduct;
  }
  SetWindowTextW(hwnd_, title.c_str());
}

void DesignerWindow::Status(const Text& text) {
  statusText_ = text;
  if (status_) SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool DesignerWindow::Open(const Text& given) {
  Text folder = WithSeparator(given);
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Text message = L"\"" + given + L"\" is not a folder that can be opened.";
    MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONERROR | MB_OK);
    recent_.Remove(given);
    return false;
  }
  try {
    session_ = std::make_unique<DiscSession>(files_, codePage_, folder);
    checker_ = std::make_unique<DiscChecker>();
  } catch (const std::system_error& e) {
    Text message = L"The disc's files cannot be read: " + FromUtf8(e.what());
    MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONERROR | MB_OK);
    return false;
  }
  Text shown = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
  recent_.Add(shown);
  pageNumber_ = 0;
  page_->Select(-1);
  WatchFolder();
  Refresh();
  FitToPage();
  Status(L"Opened " + shown);
  return true;
}

void DesignerWindow::AskForDisc() {
  Text folder;
  if (AskForFolder(hwnd_, folder)) Open(folder);
}

void DesignerWindow::Refresh() {
  if (!session_) {
    UpdateTitle();
    return;
  }
  runner_.SetView(page_->hwnd(), WindowDpi(page_->hwnd()));
  runner_.Load(session_->Folder(), session_->Document(ConfigFile::Kavo).Bytes(),
               session_->Document(ConfigFile::Menu).Bytes(), pageNumber_);
  page_->PageLoaded();
  ShowPanel();
  UpdateTitle();
  UpdateMenu();
  ScheduleCheck();
}

void DesignerWindow::ShowPage(int page) {
  if (!session_) return;
  pageNumber_ = page;
  page_->Select(-1);
  Refresh();
  Status(L"Page " + std::to_wstring(page) + L": " + std::to_wstring(runner_.Last().shown.size()) +
         L" links shown");
}

bool DesignerWindow::ApplyEdit(ConfigFile kind, const std::function<void(TextDocument&)>& edit) {
  if (!session_) return false;
  try {
    session_->Edit(kind, edit);
  } catch (const EditError& e) {
    if (!e.Utf8WouldDo()) {
      Text message = FromUtf8(e.what());
      MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONWARNING | MB_OK);
      return false;
    }
    Text why = e.refusal() == EditRefusal::CodePageCannotHold
                   ? L"cannot hold \"" + e.text() + L"\" in its code page (" + FromUtf8(e.codePage()) + L")"
                   : L"would then read as UTF-8, and show other letters";
    Text message =
        Text(FileName(kind)) + L" is ANSI text, which " + why +
        L".\n\nOK saves it as UTF-8 with a mark: the program then reads every letter of it the same "
        L"way on any Windows, and every other character of the file stays as it is. Cancel leaves "
        L"the file as it was.";
    if (MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return false;
    try {
      session_->Edit(kind, [&](TextDocument& document) {
        TextDocument::Group step(document);
        document.ConvertToUtf8WithMark();
        edit(document);
      });
    } catch (const EditError& again) {
      Text text = FromUtf8(again.what());
      MessageBoxW(hwnd_, text.c_str(), kProduct, MB_ICONWARNING | MB_OK);
      return false;
    }
  }
  Refresh();
  return true;
}

void DesignerWindow::SelectionChanged(int link) {
  ShowPanel();
  if (link < 0) {
    Status(L"Page " + std::to_wstring(pageNumber_));
    return;
  }
  const Label& label = lblLink(link);
  Status(L"Link " + std::to_wstring(link) + L": " + ShownCaption(label.Caption()) + L" at " +
         std::to_wstring(std::lround(label.Left())) + L", " + std::to_wstring(std::lround(label.Top())) +
         L" twips");
}

void DesignerWindow::MoveLink(int link, int dx, int dy) {
  if (!session_) return;
  if (link != page_->Selected()) return;
  std::size_t line = SelectedLine();
  if (line == kNoLine) return;
  const Label& label = lblLink(link);
  TwipPoint to = MovedPosition(label.Left(), label.Top(), dx, dy, WindowDpi(page_->hwnd()));
  if (ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { WriteLinkPosition(menu, line, to); }))
    SelectionChanged(link);
}

void DesignerWindow::TryClick(int link) {
  int page = -1;
  Text said = runner_.Click(link, page);
  if (page >= 0) {
    pageNumber_ = page;
    page_->PageLoaded();
    ShowPanel();
    UpdateTitle();
    said = L"Shows page " + std::to_wstring(page) + (said.empty() ? L"" : L"; " + said);
  }
  Status(said.empty() ? L"Link " + std::to_wstring(link) + L": the program does nothing outside itself"
                      : said);
}

void DesignerWindow::TryPoint(int link) {
  runner_.Point(link);
}

void DesignerWindow::Undo() {
  if (!session_ || !session_->CanUndo()) return;
  ConfigFile kind = session_->Undo();
  Refresh();
  Status(Text(L"Undone in ") + FileName(kind));
}

void DesignerWindow::Redo() {
  if (!session_ || !session_->CanRedo()) return;
  ConfigFile kind = session_->Redo();
  Refresh();
  Status(Text(L"Redone in ") + FileName(kind));
}
