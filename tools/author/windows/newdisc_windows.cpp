// `new` on Windows: the starter disc's files written through Win32, its pictures drawn by GDI.
#include <cmath>

#include "platform/text.h"
#include "platform/win32/scoped.h"
#include "tools/author/newdisc.h"
#include "tools/author/starter_disc.h"
#include "tools/author/windows/png_file.h"

namespace {

DWORD Attributes(const Text& path) {
  return GetFileAttributesW(path.c_str());
}

bool IsFolder(const Text& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyFolder(const Text& path) {
  WIN32_FIND_DATAW data{};
  ScopedFind find(FindFirstFileW((path + L"\\*").c_str(), &data));
  if (!find) return false;
  do {
    Text name = data.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (FindNextFileW(find.get(), &data));
  return true;
}

// The folder and each missing folder above it.
bool MakeFolders(const Text& path) {
  for (std::size_t at = path.find_first_of(L"\\/", 3); at != Text::npos;
       at = path.find_first_of(L"\\/", at + 1)) {
    Text above = path.substr(0, at);
    if (!above.empty() && above.back() != L':' && !IsFolder(above) &&
        !CreateDirectoryW(above.c_str(), nullptr))
      return false;
  }
  return IsFolder(path) || CreateDirectoryW(path.c_str(), nullptr);
}

bool Write(const Text& path, const std::string& bytes) {
  ScopedFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A whole file of at most 1 GiB.
bool ReadWhole(const Text& path, std::string* bytes) {
  ScopedFile file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 30)) return false;
  bytes->assign(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  return bytes->empty() ||
         (ReadFile(file.get(), &(*bytes)[0], static_cast<DWORD>(bytes->size()), &got, nullptr) &&
          got == bytes->size());
}

bool ReadProgram(const std::string& exe, std::string* bytes, std::string* error) {
  Text path = FromUtf8(exe);
  DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) {
    *error = "--exe " + exe + ": no such file";
    return false;
  }
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    *error = "--exe " + exe + " is not a file; name velmaro.exe itself";
    return false;
  }
  if (!ReadWhole(path, bytes)) {
    *error = "--exe " + exe + " cannot be read";
    return false;
  }
  if (bytes->compare(0, 2, "MZ") != 0) {
    *error = "--exe " + exe + " is not a Windows program; name velmaro.exe";
    return false;
  }
  return true;
}

// The Linux program shipped beside the Windows one; empty when there is none.
std::string ProgramBeside(const std::string& exe) {
  Text path = FromUtf8(exe);
  Text program = path.substr(0, path.find_last_of(L"\\/") + 1) + L"velmaro";
  DWORD a = Attributes(program);
  std::string bytes;
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY) || !ReadWhole(program, &bytes))
    return "";
  return bytes;
}

// The gradient and the title, as the Linux build draws them with cairo.
bool Picture(const Text& path, const StarterPicture& p, std::string* error) {
  DrawnPicture picture(p.width, p.height);
  if (!picture.ok()) {
    *error = "cannot draw " + ToUtf8(path);
    return false;
  }
  for (int y = 0; y < p.height; ++y) {
    double t = p.height > 1 ? static_cast<double>(y) / (p.height - 1) : 0, fade = 1 - 0.7 * t;
    auto level = [&](double c) { return static_cast<BYTE>(std::lround(255 * c * fade)); };
    ScopedGdiObj brush(CreateSolidBrush(RGB(level(p.red), level(p.green), level(p.blue))));
    RECT row{0, y, p.width, y + 1};
    FillRect(picture.dc(), &row, static_cast<HBRUSH>(brush.get()));
  }
  ScopedGdiObj font(CreateFontW(-p.height / 10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"Arial"));
  ScopedSelect select(picture.dc(), font.get());
  SetBkMode(picture.dc(), TRANSPARENT);
  SetTextColor(picture.dc(), RGB(255, 255, 255));
  SetTextAlign(picture.dc(), TA_BASELINE | TA_LEFT);
  Text title = FromUtf8(p.title);
  TextOutW(picture.dc(), p.width / 16, p.height - p.height / 12, title.c_str(),
           static_cast<int>(title.size()));
  return picture.SavePng(path, error);
}

}  // namespace

bool WriteStarterDisc(const std::string& folder, const std::string& exe, bool replace, std::string* error) {
  Text root = FromUtf8(folder);
  while (root.size() > 3 && (root.back() == L'\\' || root.back() == L'/'))
    root.pop_back();
  DWORD a = Attributes(root);
  if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = folder + " is a file, not a folder";
    return false;
  }
  if (a != INVALID_FILE_ATTRIBUTES && !replace && !IsEmptyFolder(root)) {
    *error = folder +
             " is not empty: a starter disc would replace its files. Name a new folder, or add --force to "
             "write over them";
    return false;
  }
  std::string program;
  if (!exe.empty() && !ReadProgram(exe, &program, error)) return false;
  if (!MakeFolders(root)) {
    *error = "cannot make the folder " + folder;
    return false;
  }
  for (const wchar_t* sub : {L"\\images", L"\\sounds", L"\\docs", L"\\tools"}) {
    if (!MakeFolders(root + sub)) {
      *error = "cannot make the folder " + folder + ToUtf8(sub);
      return false;
    }
  }
  auto native = [&](const std::string& name) {
    Text path = root + L"\\" + FromUtf8(name);
    for (wchar_t& c : path)
      if (c == L'/') c = L'\\';
    return path;
  };
  for (const StarterFile& f : StarterFiles()) {
    if (!Write(native(f.name), f.bytes)) {
      *error = "cannot write " + folder + "\\" + f.name;
      return false;
    }
  }
  for (const StarterPicture& p : StarterPictures())
    if (!Picture(native(p.name), p, error)) return false;
  if (exe.empty()) return true;
  if (!Write(root + L"\\velmaro.exe", program)) {
    *error = "cannot write " + folder + "\\velmaro.exe";
    return false;
  }
  // Windows keeps no execute bits: autorun.sh runs through /bin/sh and starts the program through its loader.
  for (const StarterFile& f : LinuxStartFiles(ProgramBeside(exe))) {
    if (!Write(native(f.name), f.bytes)) {
      *error = "cannot write " + folder + "\\" + f.name;
      return false;
    }
  }
  return true;
}
