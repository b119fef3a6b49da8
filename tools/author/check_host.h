// What the check needs from the machine it runs on, beside the platform seam the program's logic runs on:
// names looked up on the disc as Windows finds them, the first bytes of a file, a picture's format and size,
// every name on the disc, and what the program asked the shell, the sound system and message boxes to do.
// The Linux tools answer over a folder through the headless platform; a Windows build can answer through
// Win32 and GDI, so the check itself depends on neither.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/disc_path.h"
#include "platform/picture_info.h"
#include "platform/platform.h"

// A name of the disc as the program would look it up.
struct LookedUpFile {
  // As the resolver has it: found, missing, or there in a form Windows opens nothing by.
  LookupStatus status = LookupStatus::Missing;
  // As on the disc, relative to its root, with "/" between folders; links followed when found, else as far
  // as it was found (the link, the FIFO, the name in its other form).
  std::string name;
  bool caseDiffers = false;
  bool isFolder = false;
  bool Found() const { return status == LookupStatus::Found; }
  bool IsFile() const { return status == LookupStatus::Found && !isFolder; }
};

// One entry of the disc's tree.
struct DiscName {
  std::string name;  // relative to the root, "/" between folders, bytes as stored
  bool isFolder = false;
  EntryKind kind = EntryKind::File;  // a link counts as what it points at inside the disc
};

// A call the program made that leaves it: the file and parameters of a shell request, a multimedia command,
// the text and title of a message box.
struct ProgramEffect {
  enum Kind { Shell, Mci, Message } kind;
  Text first, second;
};

class CheckHost {
 public:
  virtual ~CheckHost() = default;
  // The platform the program's logic runs on during the check; it is installed for the check's length.
  virtual Platform& platform() = 0;
  // A path the program built ("D:\" and a name of a configuration file).
  virtual LookedUpFile Find(const Text& windowsPath) = 0;
  // Up to `bytes` first bytes of a regular file of the disc.
  virtual std::string Head(const LookedUpFile& file, std::size_t bytes) = 0;
  virtual PictureInfo Picture(const LookedUpFile& file) = 0;
  // Every name below the root, each folder's entries sorted, each folder walked once.
  virtual std::vector<DiscName> AllNames() = 0;
  // The program's effects since the last call.
  virtual std::vector<ProgramEffect> TakeEffects() = 0;
  // The user's decimal separator, as the program asks the platform for it.
  virtual void SetDecimalSeparator(wchar_t separator) = 0;
};
