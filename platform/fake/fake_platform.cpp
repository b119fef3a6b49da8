#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <new>

#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/listing.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"

namespace {

const char* WindowName(Win w) {
  switch (w) {
    case Win::Main:
      return "frmMain";
    case Win::Splash:
      return "frmSplash";
    case Win::Menu:
      return "frmMenu";
  }
  return "?";
}

const char* BoxName(Box b) {
  return b == Box::SS ? "pctSS" : "pctBG";
}

// A place on a drive as the fake keys it: "D:" and each name after a backslash.
Text KeyOf(wchar_t drive, const std::vector<Text>& names) {
  Text key{drive, L':'};
  for (const Text& name : names)
    key += L"\\" + name;
  return key;
}

Text ParentOf(const Text& key) {
  std::size_t slash = key.rfind(L'\\');
  return slash == Text::npos ? Text() : key.substr(0, slash);
}

Text NameOf(const Text& key) {
  return key.substr(key.rfind(L'\\') + 1);
}

}  // namespace

// One drive of the fake, listed as Windows lists a folder.
class FakePlatform::Drive : public DiscListing {
 public:
  Drive(const FakePlatform& fake, wchar_t letter) : fake_(fake), letter_(letter) {}
  bool List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const override {
    std::vector<Text> names;
    for (const std::string& name : folder)
      names.push_back(FromUtf8(name));
    Text key = KeyOf(letter_, names);
    if (!names.empty() && !fake_.folders_.count(key)) return false;
    entries->clear();
    for (const auto& [place, isFolder] : fake_.folders_)
      if (isFolder && ParentOf(place) == key)
        entries->push_back(Entry(NameOf(place), EntryKind::Folder, kAttrDirectory));
    for (const auto& [place, file] : fake_.files_) {
      if (ParentOf(place) != key) continue;
      uint32_t attributes = (file.readOnly ? kAttrReadOnly : 0) | (file.hidden ? kAttrHidden : 0) |
                            (file.system ? kAttrSystem : 0);
      entries->push_back(Entry(NameOf(place), file.kind, attributes));
    }
    return true;
  }

 private:
  static DiscEntry Entry(const Text& name, EntryKind kind, uint32_t attributes) {
    DiscEntry entry;
    entry.name = name;
    entry.hostName = ToUtf8(name);
    entry.kind = kind;
    entry.attributes = attributes;
    return entry;
  }
  const FakePlatform& fake_;
  wchar_t letter_;
};

std::string Quoted(const Text& s) {
  return "\"" + ToUtf8(s) + "\"";
}

std::string Number(double value) {
  char buffer[32];
  if (value == std::floor(value) && std::fabs(value) < 1e15)
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  else
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

FakePlatform::FakePlatform() : previous_(CurrentPlatform()) {
  SetPlatform(this);
  ResetWindows();
}

void FakePlatform::ResetWindows() {
  for (auto& w : windows_)
    w = Window{};
  windows_[0].inner = {1050, 495};
  windows_[0].frame = {90, 360};
  windows_[1].inner = {2115, 1620};
  windows_[1].frame = {0, 0};
  windows_[2].inner = {5400, 3585};
  windows_[2].frame = {90, 360};
  boxSize[0] = {1215, 495};
  boxSize[1] = {5415, 3615};
  timerEnabled = false;
  ended = false;
}

FakePlatform::~FakePlatform() {
  SetPlatform(nullptr);
}

void FakePlatform::AddFile(const Text& path, const std::string& bytes, FakeFile attributes) {
  WindowsPath place = ParseWindowsPath(path);
  if (place.drive == 0 || place.names.empty()) return;
  Text key = KeyOf(place.drive, place.names);
  // A disc holds one name in any letter case: the new file takes the place of the old.
  Text upper = UpperName(key);
  for (auto it = files_.begin(); it != files_.end();)
    it = UpperName(it->first) == upper ? files_.erase(it) : std::next(it);
  attributes.bytes = bytes;
  files_[key] = attributes;
  for (Text parent = ParentOf(key); parent.size() > 2; parent = ParentOf(parent))
    folders_[parent] = true;
}

void FakePlatform::AddPicture(const Text& path, float widthPixels, float heightPixels) {
  FakeFile file;
  file.picture = TwipSize{widthPixels, heightPixels};
  AddFile(path, "picture", file);
}

void FakePlatform::AddFolder(const Text& path) {
  WindowsPath place = ParseWindowsPath(path);
  if (place.drive == 0) return;
  for (Text key = KeyOf(place.drive, place.names); key.size() > 2; key = ParentOf(key))
    folders_[key] = true;
}

DiscLookup FakePlatform::LookUp(const Text& path) const {
  WindowsPath place = ParseWindowsPath(path);
  if (place.drive == 0 || place.wildcards) {
    DiscLookup refused;
    refused.status = LookupStatus::Refused;
    return refused;
  }
  return ::LookUp(Drive(*this, place.drive), place.names);
}

const FakeFile* FakePlatform::Find(const Text& path) const {
  DiscLookup found = LookUp(path);
  if (found.status != LookupStatus::Found || found.kind != EntryKind::File) return nullptr;
  std::vector<Text> names;
  for (const std::string& name : found.hostNames)
    names.push_back(FromUtf8(name));
  auto it = files_.find(KeyOf(ParseWindowsPath(path).drive, names));
  return it == files_.end() ? nullptr : &it->second;
}

void FakePlatform::DecodeAnsi(const char* bytes, std::size_t length, Text& out) {
  out.resize(length);
  if (!doubleByteCodePage) {
    std::transform(bytes, bytes + length, out.begin(),
                   [](char b) { return static_cast<wchar_t>(static_cast<unsigned char>(b)); });
    return;
  }
  std::size_t n = 0;
  for (std::size_t i = 0; i < length; ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead && i + 1 < length) {
      auto trail = static_cast<unsigned char>(bytes[++i]);
      out[n++] = static_cast<wchar_t>(0xF0000 + (b << 8) + trail);  // one private character per pair
    } else {
      out[n++] = static_cast<wchar_t>(b);
    }
  }
  out.resize(n);
}

void FakePlatform::MayRunOutOfMemory(const char* operation) {
  if (outOfMemoryIn != operation) return;
  outOfMemoryIn.clear();
  throw std::bad_alloc();
}

// --- Running the program ---

void FakePlatform::Start() {
  events::NewProcess();
  repaints.clear();
  keyboardFocus = -1;
  keyboardMarked = false;
  linksChanged = 0;
  ResetWindows();
  Raise([] { events::MainLoad(); });
}

template <class Event>
void FakePlatform::Raise(Event event) {
  if (ended) return;
  try {
    event();
  } catch (const ProgramEnded&) {
  }
}

bool FakePlatform::FireTimer() {
  if (ended || !timerEnabled) return false;
  Raise([] { events::TimerTick(); });
  return true;
}

void FakePlatform::Click(int16_t label) {
  Raise([&] { events::LabelClick(label); });
}

void FakePlatform::MoveOverLabel(int16_t label) {
  Raise([&] { events::LabelMouseMove(label); });
}

void FakePlatform::MoveOverBackground() {
  Raise([] { events::BackgroundMouseMove(); });
}

void FakePlatform::MoveTo(float x, float y) {
  int label = LabelAt(x, y);
  if (label < 0)
    MoveOverBackground();
  else
    MoveOverLabel(static_cast<int16_t>(label));
}

void FakePlatform::Key(events::MenuKey key) {
  Raise([key] { events::MenuKeyDown(key); });
}

bool FakePlatform::Type(wchar_t c) {
  bool claimed = false;
  Raise([&] { claimed = events::MenuCharacter(c); });
  return claimed;
}

void FakePlatform::CloseMenu() {
  Raise([] { events::MenuUnload(); });
}

std::vector<std::string> FakePlatform::TakeTranscript() {
  std::vector<std::string> lines;
  lines.swap(transcript);
  return lines;
}

// --- Platform ---

void FakePlatform::ShellExecuteA(Owner owner,
                                 const Text& operation,
                                 const Text& file,
                                 const Text& parameters) {
  transcript.push_back(std::string("ShellExecuteA(owner=") + (owner == Owner::Menu ? "frmMenu" : "null") +
                       ", " + Quoted(operation) + ", " + Quoted(file) + ", " + Quoted(parameters) +
                       ", dir=null, show=1)");
}

void FakePlatform::mciSendStringA(const Text& command) {
  transcript.push_back("mciSendStringA(" + Quoted(command) + ")");
}

void FakePlatform::ShowCriticalMessage(const Text& text, const Text& title) {
  transcript.push_back("MessageBox(critical, " + Quoted(title) + ", " + Quoted(text) + ")");
}

bool FakePlatform::FileExists(const Text& path) {
  WindowsPath place = ParseWindowsPath(path);
  bool found = place.drive != 0 && ListingFindsFile(Drive(*this, place.drive), place);
  transcript.push_back("FileExists(" + Quoted(path) + ") = " + (found ? "true" : "false"));
  return found;
}

void FakePlatform::EndProgram() {
  transcript.push_back("EndProgram");
  ended = true;
  throw ProgramEnded{};
}

void FakePlatform::OpenTextFile(const Text& path) {
  transcript.push_back("OpenTextFile(" + Quoted(path) + ")");
  CloseTextFile();
  MayRunOutOfMemory("OpenTextFile");
  const FakeFile* file = Find(path);
  if (!file) throw AppError(ErrorKind::FileNotFound);
  openFile_ = file;
}

std::size_t FakePlatform::ReadTextBytes(char* buffer, std::size_t size) {
  if (!openFile_) return 0;
  const std::string& bytes = openFile_->bytes;
  std::size_t end = std::min(bytes.size(), readOffset_ + (readPiece ? std::min(size, readPiece) : size));
  if (openFile_->readFailsAt && *openFile_->readFailsAt < end) {
    if (readOffset_ == *openFile_->readFailsAt) throw AppError(ErrorKind::FileNotFound);
    end = *openFile_->readFailsAt;
  }
  std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(readOffset_),
            bytes.begin() + static_cast<std::ptrdiff_t>(end), buffer);
  std::size_t got = end - readOffset_;
  readOffset_ = end;
  return got;
}

void FakePlatform::RewindTextFile() {
  readOffset_ = 0;
}

void FakePlatform::CloseTextFile() {
  openFile_ = nullptr;
  readOffset_ = 0;
}

void FakePlatform::Use(Win w) {
  Window& win = window(w);
  if (win.created) return;
  win.created = true;
  if (w == Win::Menu) events::MenuLoad();
}

void FakePlatform::LoadPictureFile(Box box, const Text& path) {
  Use(box == Box::SS ? Win::Splash : Win::Menu);
  transcript.push_back(std::string("LoadPictureFile(") + BoxName(box) + ", " + Quoted(path) + ")");
  const FakeFile* file = Find(path);
  if (!file || !file->picture) throw AppError(ErrorKind::FileNotFound);
  boxSize[static_cast<int>(box)] = {file->picture->width * 15, file->picture->height * 15};
}

TwipSize FakePlatform::BoxSize(Box box) {
  Use(box == Box::SS ? Win::Splash : Win::Menu);
  return boxSize[static_cast<int>(box)];
}

void FakePlatform::SetInnerSize(Win w, TwipSize inner) {
  Use(w);
  window(w).inner = inner;
  transcript.push_back(std::string("SetInnerSize(") + WindowName(w) + ", " + Number(inner.width) + ", " +
                       Number(inner.height) + ")");
}

TwipSize FakePlatform::WindowSize(Win w) {
  Use(w);
  const Window& win = window(w);
  return {win.inner.width + win.frame.width, win.inner.height + win.frame.height};
}

void FakePlatform::MoveWindow(Win w, float left, float top) {
  Use(w);
  window(w).left = left;
  window(w).top = top;
  transcript.push_back(std::string("MoveWindow(") + WindowName(w) + ", " + Number(left) + ", " + Number(top) +
                       ")");
}

void FakePlatform::ShowWindow(Win w) {
  Use(w);
  Window& win = window(w);
  win.visible = true;
  transcript.push_back(std::string("ShowWindow(") + WindowName(w) + ")");
  if (w == Win::Menu && !win.activated) {
    win.activated = true;
    events::MenuActivate();
  }
}

void FakePlatform::HideWindow(Win w) {
  Use(w);
  window(w).visible = false;
  transcript.push_back(std::string("HideWindow(") + WindowName(w) + ")");
}

void FakePlatform::EnableTimer(bool enabled) {
  timerEnabled = enabled;
  transcript.push_back(std::string("EnableTimer(tmrSS, ") + (enabled ? "true" : "false") + ")");
}

TwipSize FakePlatform::MeasureText(const LabelFont& font, const Text& caption) {
  MayRunOutOfMemory("MeasureText");
  // A simple, predictable metric: 10 twips per character per point, 20 twips of height per point plus 30.
  auto characters = static_cast<float>(ShownCaption(caption).size());
  return {characters * font.size * 10, font.size * 20 + 30};
}

void FakePlatform::RepaintLabel(int index, const TwipRect& before, const TwipRect& after) {
  repaints.push_back({index, before, after});
}

void FakePlatform::KeyboardFocusChanged(int link, bool marked) {
  keyboardFocus = link;
  keyboardMarked = marked;
}

wchar_t FakePlatform::UpperCase(wchar_t c) {
  return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}
