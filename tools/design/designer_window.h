// The designer's main window: the page view, the link panel and the findings beside it, a status line, and
// the commands of its menu. It owns the disc being edited.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/win.h"
#include "tools/design/disc_session.h"
#include "tools/design/findings_view.h"
#include "tools/design/link_move.h"
#include "tools/design/link_panel.h"
#include "tools/design/page_runner.h"
#include "tools/design/page_view.h"
#include "tools/design/recent_folders.h"
#include "tools/edit/win32/win32_code_page.h"
#include "tools/edit/win32/win32_file_system.h"

struct ChangeNotificationTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindCloseChangeNotification(h); }
};
using ScopedChangeNotification = Scoped<HANDLE, ChangeNotificationTraits>;

class DesignerWindow : public PageViewOwner {
 public:
  explicit DesignerWindow(HINSTANCE instance);
  ~DesignerWindow() override;
  DesignerWindow(const DesignerWindow&) = delete;
  DesignerWindow& operator=(const DesignerWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  HACCEL Accelerators() const { return accelerators_; }
  // The handle signalled when something changes in the disc's folder, or null; FolderChanged when it is.
  HANDLE FolderChange() const { return folderChange_ ? folderChange_.get() : nullptr; }
  void FolderChanged();

  // Opens the disc; false (having said why) when the folder cannot be used.
  bool Open(const Text& folder);
  // Asks for a folder with the system's dialog.
  void AskForDisc();

  // PageViewOwner
  void SelectionChanged(int link) override;
  void MoveLink(int link, int dx, int dy) override;
  void DeleteLink(int link) override;
  void TryClick(int link) override;
  void TryPoint(int link) override;

  static void RegisterClass(HINSTANCE instance);
  // Keys for the panel's controls first, then the window's own Tab order.
  bool HandleDialogMessage(MSG& message);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(int id);
  void BuildMenu();
  void UpdateMenu();
  // Makes the status line, the findings and the panel's controls, once; the window shows its page first.
  void CompleteWindow();
  int StatusHeight() const;  // the status line's, or what it will be before it is made
  void Layout();
  void FitToPage();
  void UpdateTitle();
  void Status(const Text& text);
  // The panel, the findings and the status line in the message font at `dpi`.
  void FitSideColumnFont(unsigned dpi);
  // A font installed or removed: captions measured with what stood in for it are measured again.
  void FontsChanged();

  // Runs an edit of one file as one step of undo and shows the result. When an ANSI file cannot hold
  // the new text, offers to save it as UTF-8 with a mark, saying why. False when nothing changed.
  bool ApplyEdit(ConfigFile kind, const std::function<void(TextDocument&)>& edit);
  void Refresh();
  // The check over the disc with the files as edited, soon after an edit or a change on disk: the page
  // shows first.
  void ScheduleCheck();
  void RunCheck();
  void ChooseFinding(const Finding& finding);
  void ShowPage(int page);
  bool Save();
  // Before the disc is closed: true when it may go (saved, or the author chose to drop the edits).
  bool MayClose();
  void Undo();
  void Redo();
  void WatchFolder();

  // The link panel and the edits of whole links and pages (designer_edits.cpp).
  void WirePanel();
  void ShowPanel();
  // The line of menu.inf the selected link comes from, or kNoLine.
  std::size_t SelectedLine();
  void EditFields(const FieldEdits& edits);
  void AddLinkToPage();
  void DuplicateSelectedLink();
  void DeleteSelectedLink();
  void AddNewPage();
  void DuplicateShownPage();
  void DeleteShownPage();
  void EditStartup();
  // Where a new link goes: under the lowest link shown.
  TwipPoint FreeSpot() const;
  // Reads again what other programs changed, and checks the disc again.
  void DiskChanged();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND status_ = nullptr;  // with the findings, null until CompleteWindow
  Text statusText_;        // kept for a status line not yet made
  std::unique_ptr<LinkPanel> panel_;
  std::unique_ptr<FindingsView> findings_;
  HACCEL accelerators_ = nullptr;
  Win32FileSystem files_;
  Win32CodePage codePage_;
  RecentFolders recent_;
  PageRunner runner_;
  std::unique_ptr<PageView> page_;
  std::unique_ptr<DiscSession> session_;
  std::unique_ptr<DiscChecker> checker_;  // the disc's, keeping what one check can give the next
  ScopedChangeNotification folderChange_;
  int pageNumber_ = 0;
  bool folderChanged_ = false;  // a notice came from the disc's folder since it was last looked at
  bool tryMode_ = false;
};
