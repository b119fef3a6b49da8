// A platform for tests: it records every effect the logic asks for as one readable line, holds an in-memory
// disc, and lets a test raise the events a user would: the timer, clicks, pointer moves, closing the menu.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/disc_path.h"
#include "platform/events.h"
#include "platform/platform.h"

struct FakeFile {
  std::string bytes;  // in the ANSI code page
  bool hidden = false;
  bool system = false;
  bool readOnly = false;
  std::optional<TwipSize> picture;         // pixels, when the file is a loadable picture
  std::optional<std::size_t> readFailsAt;  // a bad spot: reading the byte at this offset fails
  EntryKind kind = EntryKind::File;        // or what a folder may hold in its place: a FIFO, a link, ...
};

class FakePlatform : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  // --- The disc and the machine ---
  Text programFolder = L"D:\\";
  TwipSize screen{15360, 11520};  // 1024 x 768 pixels
  wchar_t decimalSeparator = L'.';
  bool doubleByteCodePage = false;  // decode lead bytes 0x81-0x9F and 0xE0-0xFC with their trail byte
  std::size_t readPiece = 0;        // when not 0, a read delivers at most this many bytes
  // The operation (as named in the transcript, e.g. "MeasureText") whose next call runs out of memory.
  std::string outOfMemoryIn;
  void AddFile(const Text& path, const std::string& bytes, FakeFile attributes = {});
  void AddPicture(const Text& path, float widthPixels, float heightPixels);
  void AddFolder(const Text& path);
  // What Windows finds for a full path on the fake's drives, through the rules every disc shares.
  DiscLookup LookUp(const Text& path) const;

  // --- Running the program ---
  // A new process on the same disc: every window, module and label as created, then the start-up sequence.
  void Start();
  bool ended = false;
  bool FireTimer();  // false when the timer is disabled or the program has ended
  void Click(int16_t label);
  void MoveOverLabel(int16_t label);
  void MoveOverBackground();
  void MoveTo(float x, float y);  // a point of pctBG in twips, routed like the real window
  void Key(events::MenuKey key);
  bool Type(wchar_t c);  // a character typed, with Alt or without; true when a link claimed it
  void CloseMenu();

  // --- What happened ---
  std::vector<std::string> transcript;
  std::vector<std::string> TakeTranscript();  // returns the lines so far and starts afresh
  struct Repaint {
    int label;
    TwipRect before, after;
  };
  std::vector<Repaint> repaints;
  // The keyboard's link and mark as last announced, and how many page loads announced new links; kept out
  // of the transcript, which the mouse's tests compare line by line.
  int keyboardFocus = -1;
  bool keyboardMarked = false;
  int linksChanged = 0;

  struct Window {
    bool created = false;
    bool visible = false;
    bool activated = false;
    TwipSize inner;
    TwipSize frame;  // added around the inner area
    float left = 0, top = 0;
  };
  Window& window(Win w) { return windows_[static_cast<int>(w)]; }
  TwipSize boxSize[2];
  bool timerEnabled = false;

  // --- Platform ---
  void ShellExecuteA(Owner owner, const Text& operation, const Text& file, const Text& parameters) override;
  void mciSendStringA(const Text& command) override;
  void ShowCriticalMessage(const Text& text, const Text& title) override;
  bool FileExists(const Text& path) override;
  Text ProgramFolder() override { return programFolder; }
  float ScreenWidth() override { return screen.width; }
  float ScreenHeight() override { return screen.height; }
  [[noreturn]] void EndProgram() override;
  void OpenTextFile(const Text& path) override;
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override;
  void CloseTextFile() override;
  void RewindTextFile() override;
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override;
  wchar_t DecimalSeparator() override { return decimalSeparator; }
  void LoadPictureFile(Box box, const Text& path) override;
  TwipSize BoxSize(Box box) override;
  void SetInnerSize(Win window, TwipSize inner) override;
  TwipSize WindowSize(Win window) override;
  void MoveWindow(Win window, float left, float top) override;
  void ShowWindow(Win window) override;
  void HideWindow(Win window) override;
  void EnableTimer(bool enabled) override;
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override;
  void RepaintLabel(int index, const TwipRect& before, const TwipRect& after) override;
  void KeyboardFocusChanged(int link, bool marked) override;
  void LinksChanged() override { ++linksChanged; }
  wchar_t UpperCase(wchar_t c) override;

 private:
  template <class Event>
  void Raise(Event event);
  void Use(Win w);
  void ResetWindows();
  const FakeFile* Find(const Text& path) const;
  class Drive;
  void MayRunOutOfMemory(const char* operation);

  // Keyed by the place from the drive's root as added ("D:\docs\Guide.pdf"), letter case kept.
  std::map<Text, FakeFile> files_;
  std::map<Text, bool> folders_;
  Window windows_[3];
  Platform* previous_;
  const FakeFile* openFile_ = nullptr;
  std::size_t readOffset_ = 0;
};

// Transcript formatting, shared with the tests' expectations.
std::string Quoted(const Text& s);
std::string Number(double value);
