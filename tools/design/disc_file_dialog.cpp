#include "tools/design/disc_file_dialog.h"

#include <vector>

#include "tools/design/disc_relative_path.h"
#include "tools/design/panel_controls.h"
#include "tools/design/system_dialogs.h"

namespace {

// Each filter: its name, a NUL, its patterns, a NUL; the list ends with one more NUL.
Text Filters(DiscFileKind kind) {
  static const wchar_t pictures[] =
      L"Pictures (BMP, JPEG, GIF, PNG, ICO, WMF, "
      L"EMF)|*.bmp;*.dib;*.jpg;*.jpeg;*.jpe;*.jfif;*.gif;*.png;*.ico;"
      L"*.wmf;*.emf|";
  static const wchar_t sounds[] = L"WAV sounds|*.wav|";
  static const wchar_t programs[] = L"Programs|*.exe;*.com;*.bat;*.cmd;*.msi|";
  static const wchar_t any[] = L"All files|*.*|";
  Text filters;
  switch (kind) {
    case DiscFileKind::Picture:
      filters = Text(pictures) + any;
      break;
    case DiscFileKind::Sound:
      filters = Text(sounds) + any;
      break;
    case DiscFileKind::Program:
      filters = Text(programs) + any;
      break;
    case DiscFileKind::AnyFile:
      filters = any;
      break;
  }
  for (wchar_t& c : filters)
    if (c == L'|') c = L'\0';
  return filters + L'\0';
}

const wchar_t* Title(DiscFileKind kind) {
  switch (kind) {
    case DiscFileKind::Picture:
      return L"Choose a picture of the disc";
    case DiscFileKind::Sound:
      return L"Choose a sound of the disc";
    case DiscFileKind::Program:
      return L"Choose a program of the disc";
    case DiscFileKind::AnyFile:
      break;
  }
  return L"Choose a file of the disc";
}

Text WithoutTrailingSeparator(Text folder) {
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
    folder.pop_back();
  return folder;
}

// The path with every link and junction followed; empty where Windows cannot say (XP has no call for it).
Text FinalPath(const Text& path) {
  using GetFinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  auto getFinalPath = reinterpret_cast<GetFinalPath>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
  if (!getFinalPath) return Text();
  ScopedFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return Text();
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = getFinalPath(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0) return Text();
    if (length < buffer.size()) return Text(buffer.data(), length);
    buffer.resize(length + 1);
  }
  return Text();
}

}  // namespace

std::optional<Text> BrowseDiscFile(HWND owner,
                                   const Text& discFolder,
                                   DiscFileKind kind,
                                   const Text& current) {
  Text folder = WithoutTrailingSeparator(discFolder);
  Text startFolder = folder;
  Text startName;
  if (!current.empty()) {
    Text name = current;
    for (wchar_t& c : name)
      if (c == L'/') c = L'\\';
    std::size_t slash = name.find_last_of(L'\\');
    Text currentFolder = folder + L"\\" + (slash == Text::npos ? Text() : name.substr(0, slash));
    DWORD attributes = GetFileAttributesW(currentFolder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      startFolder = currentFolder;
      startName = slash == Text::npos ? name : name.substr(slash + 1);
    }
  }
  Text filters = Filters(kind);
  std::vector<wchar_t> file(32768, L'\0');
  for (;;) {
    lstrcpynW(file.data(), startName.c_str(), static_cast<int>(file.size()));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = startFolder.c_str();
    dialog.lpstrTitle = Title(kind);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   OFN_DONTADDTORECENT;
    if (!ShowOpenFileDialog(&dialog)) return std::nullopt;
    Text chosen(file.data());
    DiscFileChoice choice =
        ChooseDiscFile(folder, chosen, FinalPath(folder), FinalPath(chosen), &FileNameUpperCase);
    if (choice.relative) return choice.relative;
    MessageBoxW(owner, choice.refusal.c_str(), L"Not a file of the disc", MB_OK | MB_ICONEXCLAMATION);
    // Back to the disc, where the file has to be.
    startFolder = folder;
    startName.clear();
  }
}
