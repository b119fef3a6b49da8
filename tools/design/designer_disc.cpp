// The designer's disc on disk: the live check and its findings, saving, and what other programs change in
// the disc's folder.
#include "platform/win32/win.h"
// after windows.h
#include <commctrl.h>

#include <system_error>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/win32/dpi.h"
#include "tools/design/designer_shared.h"
#include "tools/design/designer_window.h"
#include "tools/design/link_lines.h"
#include "tools/edit/menu_editor.h"

void DesignerWindow::ScheduleCheck() {
  SetTimer(hwnd_, kCheckTimer, 1, nullptr);
}

void DesignerWindow::RunCheck() {
  // Trying the page runs the program's logic on its own; the check waits until it ends.
  if (!session_ || tryMode_) return;
  CompleteWindow();
  GivenFiles given;
  for (ConfigFile kind : {ConfigFile::Menu, ConfigFile::Kavo}) {
    DiscFile& file = session_->File(kind);
    // A file that is not there stays missing to the check until an edit makes it.
    if (file.ExistedWhenRead() || file.Document().Modified())
      given[ToUtf8(FileName(kind))] = file.Document().Bytes();
  }
  CheckOptions options;
  options.codePage = codePage_.Name();
  Text folder = session_->Folder();
  if (folder.size() > 3) folder.pop_back();
  CheckResult result = checker_->Check(ToUtf8(folder), given, options);
  findings_->Show(result);
  SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(findings_->Summary().c_str()));
  // The check ran the program's logic over the disc: the page is loaded again for the view.
  runner_.SetView(page_->hwnd(), WindowDpi(page_->hwnd()));
  runner_.Load(session_->Folder(), session_->Document(ConfigFile::Kavo).Bytes(),
               session_->Document(ConfigFile::Menu).Bytes(), pageNumber_);
  page_->PageLoaded();
}

void DesignerWindow::ChooseFinding(const Finding& finding) {
  Text said = FromUtf8(finding.file + (finding.line > 0 ? ":" + std::to_string(finding.line) : "") + ": " +
                       finding.message + " [" + finding.code + "]");
  if (session_ && finding.file == "menu.inf" && finding.line > 0) {
    std::size_t line = static_cast<std::size_t>(finding.line - 1);
    TextDocument& menu = session_->Document(ConfigFile::Menu);
    if (line < menu.LineCount()) {
      MenuLineFields fields = MenuEditor(menu).Fields(line);
      int page = pageNumber_;
      if (fields.Has(MenuField::Page)) {
        try {
          page = ToInt16(fields[MenuField::Page].value);
        } catch (const AppError&) {
        }
      }
      if (page != pageNumber_) ShowPage(page);
      int link = PageLines(menu, pageNumber_).LinkOf(line);
      if (link >= 0 && lblLink(link).Visible()) page_->Select(link);
    }
  }
  Status(said);
}

bool DesignerWindow::Save() {
  if (!session_) return false;
  try {
    std::vector<ConfigFile> refused = session_->Save();
    for (ConfigFile kind : refused) {
      Text message = Text(FileName(kind)) +
                     L" was changed by another program since it was read.\n\nYes: save your version over "
                     L"it.\nNo: keep the other program's version and drop your edits of it.\nCancel: save "
                     L"nothing of it now.";
      int answer = MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONWARNING | MB_YESNOCANCEL);
      if (answer == IDYES) {
        session_->File(kind).Save(true);
      } else if (answer == IDNO) {
        session_->Reload(kind);
      } else {
        Refresh();
        return false;
      }
    }
  } catch (const std::system_error& e) {
    Text message =
        L"The disc could not be saved: " + FromUtf8(e.what()) + L"\n\nThe file on disk is as it was.";
    MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONERROR | MB_OK);
    return false;
  }
  Refresh();
  Status(L"Saved");
  return true;
}

bool DesignerWindow::MayClose() {
  if (!session_ || !session_->Modified()) return true;
  Text folder = session_->Folder();
  Text message = L"Save the changes to the disc in " + folder + L"?";
  int answer = MessageBoxW(hwnd_, message.c_str(), kProduct, MB_ICONQUESTION | MB_YESNOCANCEL);
  if (answer == IDCANCEL) return false;
  return answer == IDNO || Save();
}

void DesignerWindow::WatchFolder() {
  folderChange_.reset(
      FindFirstChangeNotificationW(session_->Folder().c_str(), TRUE,
                                   FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                       FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE));
}

void DesignerWindow::FolderChanged() {
  if (folderChange_) FindNextChangeNotification(folderChange_.get());
  folderChanged_ = true;
  // An editor's save is often several writes: look once they have settled.
  SetTimer(hwnd_, kSettleTimer, 150, nullptr);
}

void DesignerWindow::DiskChanged() {
  if (!session_) return;
  // Coming back to the window, only the two files are looked at; a change in the folder checks again.
  bool folderChanged = folderChanged_;
  folderChanged_ = false;
  std::vector<ConfigFile> changed = session_->ChangedOnDisk();
  if (changed.empty() && !folderChanged) return;
  Text said;
  for (ConfigFile kind : changed) {
    if (session_->Document(kind).Modified()) {
      said += Text(FileName(kind)) +
              L" was changed by another program; your edits are kept, and saving will ask. ";
      continue;
    }
    session_->Reload(kind);
    said += Text(FileName(kind)) + L" changed on disk: shown as it is now. ";
  }
  Refresh();
  if (!said.empty()) Status(said);
}
