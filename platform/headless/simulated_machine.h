// The machine the author tools run the program on: a disc's folder as drive D:, windows that are only
// sizes, and every call that would leave the program (shell requests, multimedia commands, message boxes)
// recorded, not carried out; the end of the program throws ProgramEnded. Names are found as Windows finds
// them (platform/disc_path.h), from inside the folder only. What depends on the machine the tools run on
// (reading the folder, decoding ANSI, pictures, measuring text) is left to a subclass: HeadlessPlatform on
// Linux, WindowsMachine on Windows.
#pragma once

#include <cwctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/disc_path.h"
#include "platform/picture_info.h"
#include "platform/platform.h"

// A regular file of the disc opened for reading.
class DiscFileReader {
 public:
  virtual ~DiscFileReader() = default;
  // Up to `size` bytes, 0 at the end; reads end at the size the file had when it was opened. Throws
  // AppError(FileNotFound) when reading fails.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual void Rewind() = 0;
};

// One name of a disc's tree, as a walk meets it.
struct DiscWalkEntry {
  std::string relative;  // host names from the root, joined by "/": where the walk met it
  Text name;
  EntryKind kind;
  bool link = false;
  bool revisit = false;  // a folder already walked: its contents are not listed again here
};

// A disc's folder as one machine reads it, only from inside.
class DiscTree : public DiscListing {
 public:
  virtual bool readable() const = 0;
  // The regular file at `names` (host names from the root, as a lookup gives them); null for anything else.
  virtual std::unique_ptr<DiscFileReader> OpenReader(const std::vector<std::string>& names) const = 0;
  // Every name of the disc, folder by folder in name order, each folder's contents right after it; a folder
  // reached a second time (through a link) is listed once, where it is met first.
  virtual std::vector<DiscWalkEntry> Walk() const = 0;
};

// Bytes in memory read as a file.
class MemoryFileReader : public DiscFileReader {
 public:
  explicit MemoryFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  void Rewind() override { read_ = 0; }

 private:
  std::string bytes_;
  std::size_t read_ = 0;
};

class SimulatedMachine : public Platform {
 public:
  // `folder` as the host names it; `separator` the host's between its folders.
  SimulatedMachine(std::string folder, char separator);
  ~SimulatedMachine() override;
  SimulatedMachine(const SimulatedMachine&) = delete;
  SimulatedMachine& operator=(const SimulatedMachine&) = delete;

  // --- The simulated machine ---
  std::string codePage = "CP1252";  // the ANSI code page: an iconv name, or "CP" and the Windows number
  unsigned dpi = 96;
  TwipSize screen{15360, 11520};  // 1024 x 768 pixels
  wchar_t decimalSeparator = L'.';

  // --- The disc ---
  const std::string& folder() const { return folder_; }
  // Files of the disc's root read from these bytes instead of the folder ("menu.inf" as an editor holds it
  // before it is saved): the program, lookups and walks see a regular file of that name, in the letter case
  // the folder has it in, or as given when the folder has none.
  void GiveFile(const Text& name, std::string bytes);
  void ForgetGivenFiles() { given_.clear(); }
  struct Resolved {
    LookupStatus status = LookupStatus::Missing;
    std::string path;          // in the folder, only when found (a file or a folder)
    bool caseDiffers = false;  // found only with other letter case
    bool isFolder = false;
    Text found;  // as far as it was found, the names the disc holds ("Images\Menu.png")
    std::vector<std::string> hostNames;  // where it is from the folder, links followed
  };
  // Refused for a path Windows refuses, on another drive, or with wildcards.
  Resolved Resolve(const Text& windowsPath) const;
  // A file found before, by its host names from the root joined by "/".
  static Resolved Found(const std::string& relative);
  // The picture a lookup found; nothing unless it is a regular file.
  virtual PictureInfo Picture(const Resolved& file) const = 0;
  // The first `limit` bytes of a regular file a lookup found; nothing for anything else.
  std::string ReadHead(const Resolved& file, std::size_t limit) const;
  // A regular file a lookup found, opened; null for anything else.
  std::unique_ptr<DiscFileReader> Open(const Resolved& file) const;
  // Every name of the disc with its kind; see DiscTree::Walk.
  std::vector<DiscWalkEntry> Walk() const;

  // --- Running the program ---
  // A new process on the disc: every module and label as created, then the start-up sequence.
  void Start();
  bool ended = false;
  bool timerEnabled = false;
  bool menuShown = false;
  bool splashShown = false;
  TwipSize boxSize[2] = {{5415, 3615}, {5415, 3615}};  // as created, before a picture loads

  // --- What happened ---
  struct Effect {
    enum Kind { Shell, Mci, Message } kind;
    Text first, second;  // file and parameters; the command; the text and the title
  };
  std::vector<Effect> effects;
  struct PictureLoad {
    Text path;
    enum Result { Shown, Missing, Unreadable, NotShown } result;
    std::string format;  // as the decoder names it ("png", "wmf", ...)
    TwipSize size{0, 0};
  };
  std::vector<PictureLoad> pictures;

  // --- Platform ---
  void ShellExecuteA(Owner owner, const Text& operation, const Text& file, const Text& parameters) override;
  void mciSendStringA(const Text& command) override;
  void ShowCriticalMessage(const Text& text, const Text& title) override;
  bool FileExists(const Text& path) override;
  Text ProgramFolder() override { return L"D:\\"; }
  float ScreenWidth() override { return screen.width; }
  float ScreenHeight() override { return screen.height; }
  [[noreturn]] void EndProgram() override;
  void OpenTextFile(const Text& path) override;
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override;
  void CloseTextFile() override;
  void RewindTextFile() override;
  wchar_t DecimalSeparator() override { return decimalSeparator; }
  void LoadPictureFile(Box box, const Text& path) override;
  TwipSize BoxSize(Box box) override { return boxSize[static_cast<int>(box)]; }
  void SetInnerSize(Win window, TwipSize inner) override;
  TwipSize WindowSize(Win window) override;
  void MoveWindow(Win, float, float) override {}
  void ShowWindow(Win window) override;
  void HideWindow(Win window) override;
  void EnableTimer(bool enabled) override { timerEnabled = enabled; }
  void RepaintLabel(int, const TwipRect&, const TwipRect&) override {}
  void KeyboardFocusChanged(int, bool) override {}
  void LinksChanged() override {}
  wchar_t UpperCase(wchar_t c) override {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  }

 protected:
  // The folder as this machine reads it.
  virtual const DiscTree& disc() const = 0;

 private:
  class GivenListing;
  struct GivenFile {
    Text name;
    std::string bytes;
  };
  // The given file a root name stands for, or null.
  const GivenFile* Given(const std::vector<std::string>& hostNames) const;

  std::string folder_;
  char separator_;
  std::map<Text, GivenFile> given_;  // by upper-case name
  std::unique_ptr<DiscFileReader> textFile_;
  TwipSize inner_[3] = {};
  bool menuCreated_ = false;
  Platform* previous_;
};
