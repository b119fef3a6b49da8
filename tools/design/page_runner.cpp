// The designer's platform under the program's logic: the disc's folder as the program's own, the two
// configuration files from the documents being edited, pictures and labels drawn by the program's painting,
// and everything that would leave the program (shell requests, message boxes) written down instead of done.
#include "tools/design/page_runner.h"

#include <mmsystem.h>

#include <algorithm>
#include <memory>

#include "menu/fields.h"
#include "menu/frmMenu.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/listing.h"
#include "platform/numbers.h"
#include "platform/win32/labels.h"
#include "platform/win32/picture.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/units.h"
#include "sound/modSound.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"

namespace {

bool SamePath(const Text& a, const Text& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

class PageRunner::Machine final : public Platform {
 public:
  Text folder;
  const std::string* kavo = nullptr;
  const std::string* menu = nullptr;
  std::unique_ptr<Picture> picture;
  unsigned dpi = kBaseDpi;
  HWND view = nullptr;

  bool live = false;       // try mode: sounds are played
  std::vector<Text> said;  // what the program asked of the world

  void ShellExecuteA(Owner, const Text& operation, const Text& file, const Text& parameters) override {
    said.push_back(L"The program would " + operation + L" \"" + file + L"\"" +
                   (parameters.empty() ? Text() : L" with \"" + parameters + L"\""));
  }
  void mciSendStringA(const Text& command) override {
    // Bound at the first sound, as the program does: a designer never tried loads no sound system.
    using MciSendStringFn = MCIERROR(WINAPI*)(LPCWSTR, LPWSTR, UINT, HWND);
    static auto send = SystemProc<MciSendStringFn>("winmm.dll", "mciSendStringW");
    if (live && send) send(command.c_str(), nullptr, 0, nullptr);
  }
  void ShowCriticalMessage(const Text& text, const Text& title) override {
    said.push_back(L"The program would say \"" + title + L"\": " + text);
  }

  bool FileExists(const Text& path) override {
    Text pattern = ListingPattern(path);
    if (pattern.empty()) return false;
    WIN32_FIND_DATAW found;
    ScopedFind find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) return false;
    do {
      if (IsOrdinaryFile(found.dwFileAttributes)) return true;
    } while (FindNextFileW(find.get(), &found));
    return false;
  }

  Text ProgramFolder() override {
    Text path = folder;
    bool driveRoot = path.size() == 3 && path[1] == L':';
    if (!driveRoot && path.size() > 1) path.pop_back();
    return path;
  }

  float ScreenWidth() override { return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi); }
  float ScreenHeight() override { return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi); }
  [[noreturn]] void EndProgram() override { throw ProgramEnded(); }

  void OpenTextFile(const Text& path) override {
    CloseTextFile();
    if (SamePath(path, folder + L"menu.inf")) {
      memory_ = menu;
    } else if (SamePath(path, folder + L"kavo.inf")) {
      memory_ = kavo;
    } else {
      file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file_) throw AppError(ErrorKind::FileNotFound);
    }
    read_ = 0;
  }
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override {
    if (memory_) {
      std::size_t count = std::min(size, memory_->size() - read_);
      memory_->copy(buffer, count, read_);
      read_ += count;
      return count;
    }
    DWORD got = 0;
    if (!file_ || !ReadFile(file_.get(), buffer, static_cast<DWORD>(size), &got, nullptr))
      throw AppError(ErrorKind::FileNotFound);
    return got;
  }
  void RewindTextFile() override {
    read_ = 0;
    if (file_) SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
  }
  void CloseTextFile() override {
    memory_ = nullptr;
    file_.reset();
  }
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override {
    into.clear();
    if (length == 0) return;
    int size = static_cast<int>(length);
    int needed = MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0);
    if (needed <= 0) return;
    into.resize(static_cast<std::size_t>(needed));
    MultiByteToWideChar(CP_ACP, 0, bytes, size, &into[0], needed);
  }
  wchar_t DecimalSeparator() override {
    wchar_t separator[4] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 1 ? separator[0] : L'.';
  }

  void LoadPictureFile(Box box, const Text& path) override {
    if (box != Box::BG) return;  // the designer shows the menu only
    std::unique_ptr<Picture> loaded = Picture::Load(path);
    if (!loaded) throw AppError(ErrorKind::FileNotFound);
    picture = std::move(loaded);
  }
  TwipSize BoxSize(Box box) override { return box == Box::BG && picture ? picture->Size() : TwipSize{0, 0}; }
  void SetInnerSize(Win, TwipSize) override {}
  TwipSize WindowSize(Win) override { return TwipSize{0, 0}; }
  void MoveWindow(Win, float, float) override {}
  void ShowWindow(Win) override {}
  void HideWindow(Win) override {}
  void EnableTimer(bool) override {}

  TwipSize MeasureText(const LabelFont& font, const Text& caption) override {
    ScopedWindowDc dc(view);
    return MeasureLabel(dc.get(), font, dpi, caption);
  }
  void RepaintLabel(int, const TwipRect&, const TwipRect&) override {
    if (view) InvalidateRect(view, nullptr, FALSE);
  }
  void KeyboardFocusChanged(int, bool) override {}
  void LinksChanged() override {}
  wchar_t UpperCase(wchar_t c) override {
    wchar_t text[2] = {c, 0};
    CharUpperBuffW(text, 1);
    return text[0];
  }

 private:
  const std::string* memory_ = nullptr;
  std::size_t read_ = 0;
  ScopedFile file_;
};

PageRunner::PageRunner() : machine_(new Machine) {}

PageRunner::~PageRunner() {
  if (CurrentPlatform() == machine_) SetPlatform(nullptr);
  delete machine_;
}

void PageRunner::SetView(HWND view, unsigned dpi) {
  machine_->view = view;
  machine_->dpi = dpi;
}

const PageRun& PageRunner::Load(const Text& folder,
                                const std::string& kavo,
                                const std::string& menu,
                                int page) {
  Machine& m = *machine_;
  SetPlatform(machine_);
  m.folder = folder;
  m.kavo = &kavo;
  m.menu = &menu;
  run_ = PageRun();
  // As the start-up does before the menu's first page: the folder, the separator, the picture of line 4.
  SetDecimalSeparator(m.DecimalSeparator());
  // While trying, the sounds the start-up opened stay open.
  const FrmMain kept = frmMain;
  frmMain = FrmMain();
  frmMain.appPath = folder;
  if (m.live) {
    frmMain.bgSound = kept.bgSound;
    frmMain.moSound = kept.moSound;
  }
  LaunchConfig config = ReadLaunchConfig(folder);
  m.picture.reset();
  SkipOnError([&] { m.LoadPictureFile(Box::BG, folder + config.menuPicture); });
  ResetLabels();
  frmMenu.Form_Load();
  try {
    LoadMenuPage(static_cast<int16_t>(page));
  } catch (const AppError&) {
    run_.stopLine = LastLoadPosition().line;
  }
  run_.pictureShown = m.picture != nullptr;
  Collect();
  return run_;
}

void PageRunner::Collect() {
  Machine& m = *machine_;
  run_.shown.clear();
  for (int i = 0; i < kLinkCount; ++i)
    if (lblLink(i).Visible()) run_.shown.push_back(i);
  run_.size = m.BoxSize(Box::BG);
  if (!run_.pictureShown) {
    // No picture to size the page: room for the links, at least a small screen's worth.
    float right = PixelsToTwips(640, kBaseDpi), bottom = PixelsToTwips(480, kBaseDpi);
    for (int i : run_.shown) {
      const TwipRect& r = lblLink(i).Rect();
      right = std::max(right, r.left + r.width + 300);
      bottom = std::max(bottom, r.top + r.height + 300);
    }
    run_.size = TwipSize{right, bottom};
  }
}

void PageRunner::StartTrying() {
  Machine& m = *machine_;
  SetPlatform(machine_);
  m.live = true;
  // As the start-up opens them, and the menu's first showing plays the background sound.
  LaunchConfig config = ReadLaunchConfig(m.folder);
  frmMain.bgSound = !config.backgroundSound.empty();
  frmMain.moSound = !config.mouseOverSound.empty();
  if (frmMain.bgSound) OpenSound(m.folder + config.backgroundSound, kBackgroundChannel);
  if (frmMain.moSound) OpenSound(m.folder + config.mouseOverSound, kMouseOverChannel);
  frmMenu.Form_Activate();
}

void PageRunner::StopTrying() {
  SetPlatform(machine_);
  for (const Text* channel : {&kBackgroundChannel, &kMouseOverChannel, &kLinkChannel})
    CloseSound(*channel);
  machine_->live = false;
}

void PageRunner::Point(int link) {
  SetPlatform(machine_);
  SkipOnError([&] {
    if (link >= 0)
      frmMenu.lblLink_MouseMove(static_cast<int16_t>(link));
    else
      frmMenu.pctBG_MouseMove();
  });
}

Text PageRunner::Click(int link, int& page) {
  Machine& m = *machine_;
  SetPlatform(machine_);
  m.said.clear();
  page = -1;
  // A page link's target, as the click reads it.
  Text argument = linkActions[static_cast<std::size_t>(link)], type;
  bool pageLink = false;
  SkipOnError([&] {
    NextField(type, argument);
    if (!argument.empty()) argument.pop_back();
    pageLink = ToDouble(type) == 5;
  });
  if (pageLink) run_.stopLine = 0;
  bool ended = false;
  try {
    frmMenu.lblLink_Click(static_cast<int16_t>(link));
  } catch (const ProgramEnded&) {
    ended = true;
  } catch (const AppError&) {
    run_.stopLine = LastLoadPosition().line;
  }
  if (pageLink) {
    SkipOnError([&] { page = ToInt16(argument); });
    Collect();
  }
  Text said;
  for (const Text& line : m.said)
    said += (said.empty() ? L"" : L"; ") + line;
  if (ended) said += (said.empty() ? L"" : L"; ") + Text(L"The program would end");
  return said;
}

void PageRunner::Paint(HDC dc, unsigned dpi, const RECT& area) {
  int width = TwipsToPixels(run_.size.width, dpi), height = TwipsToPixels(run_.size.height, dpi);
  RECT page{0, 0, width, height};
  FillRect(dc, &page, GetSysColorBrush(COLOR_BTNFACE));
  if (machine_->picture) machine_->picture->Draw(dc, 0, 0, width, height);
  DrawLabels(dc, dpi, area);
}
