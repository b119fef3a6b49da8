#include "tools/design/folder_dialog.h"

#include "platform/win32/win.h"
// after windows.h
#include <shobjidl.h>

#include "tools/design/system_dialogs.h"

namespace {

// The Vista dialog, which remembers its place and takes typed paths.
bool AskModern(HWND owner, Text& folder, bool& shown) {
  IFileOpenDialog* dialog = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              reinterpret_cast<void**>(&dialog))))
    return false;
  shown = true;
  bool chosen = false;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(L"Choose the disc's folder (the one with menu.inf)");
  IShellItem* item = nullptr;
  if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
    PWSTR path = nullptr;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
      folder = path;
      CoTaskMemFree(path);
      chosen = true;
    }
    item->Release();
  }
  dialog->Release();
  return chosen;
}

}  // namespace

bool AskForFolder(HWND owner, Text& folder) {
  bool shown = false;
  if (AskModern(owner, folder, shown) || shown) return !folder.empty();
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = L"Choose the disc's folder (the one with menu.inf)";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE list = ShowFolderBrowser(&info);
  if (!list) return false;
  wchar_t path[MAX_PATH] = {};
  bool got = PathFromItemList(list, path) != FALSE;
  CoTaskMemFree(list);
  if (got) folder = path;
  return got;
}
