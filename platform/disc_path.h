// How Windows finds a file the program names. The program hands Windows a full path it built ("D:\" and a
// name as written in a configuration file); Windows normalises it and looks each name up in its folder.
// Every platform that holds a disc of its own (the tests' fake, the author tools' real folder) finds files
// through these functions, so that they agree with Windows and with each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"

// A full path as Windows normalises it before it opens anything.
struct WindowsPath {
  wchar_t drive = 0;  // upper case; 0 when the path names no place on a drive Windows would open
  std::vector<Text>
      names;  // from the drive's root; ".", ".." and empty names gone, trailing blanks and dots cut
  bool folderForm = false;  // written with a separator at the end
  bool wildcards = false;   // "*" or "?" in the last name: only a listing takes it
};

// "\" and "/" both separate; runs of separators count as one; ".." stops at the root; each name loses its
// trailing blanks and dots. A path Windows refuses (no drive, a ":" or a character no file name may hold
// after the drive, wildcards before the last name, a device name such as NUL) gives drive 0.
WindowsPath ParseWindowsPath(const Text& path);

// What a folder of a disc holds. A symbolic link appears as what it points at while that stays inside the
// disc, so a file is reached by the names of the folders it really is in.
enum class EntryKind {
  File,         // a regular file
  Folder,       //
  Special,      // a FIFO, a device or a socket: nothing a disc can hold
  LinkOutside,  // a link out of the disc's folder: the burned disc will not hold what it points at
  LinkBroken,   // a link to nothing, or one of a loop of links
};

struct DiscEntry {
  Text name;             // as Windows would show it
  std::string hostName;  // the bytes the host file system knows it by
  EntryKind kind = EntryKind::File;
  uint32_t attributes = 0;          // kAttr* of platform/listing.h
  std::vector<std::string> target;  // for a link inside the disc: the host names of what it points at
  bool link = false;
};

// The entries of one folder of a disc, found by the host names of the folders from the disc's root.
class DiscListing {
 public:
  virtual ~DiscListing() = default;
  // False when the folder cannot be listed.
  virtual bool List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const = 0;
  // A name in one normal form (composed), so that names that differ only by Unicode normalisation compare
  // equal. A listing without Unicode tables leaves the name as it is.
  virtual Text Composed(const Text& name) const { return name; }
};

enum class LookupStatus {
  Found,              // a file or a folder: `kind` says which
  Missing,            // no entry with that name in any letter case
  Refused,            // a name Windows refuses (see ParseWindowsPath), or a path on another drive
  LinkOutside,        // a link on the way points out of the disc's folder
  LinkBroken,         // a link on the way points to nothing or loops
  NotRegular,         // a FIFO, a device or a socket
  NormalisationOnly,  // there only in another Unicode normalisation (a Mac's NFD): Windows will not find it
};

struct DiscLookup {
  LookupStatus status = LookupStatus::Missing;
  EntryKind kind = EntryKind::File;    // of the last entry found
  std::vector<std::string> hostNames;  // the entry's place from the disc's root, links followed
  Text shown;                          // the names as the disc holds them, joined by "\" ("Images\Menu.png")
  bool caseDiffers = false;            // found only with other letter case
  uint32_t attributes = 0;
};

// Finds a normalised path's names on a disc: each by its exact name first, else in any letter case, as a
// disc's file system matches names.
DiscLookup LookUp(const DiscListing& disc, const std::vector<Text>& names);

// The existence test of a listing (platform.h, FileExists): for a folder-form path, any ordinary file in
// it; for a last name with wildcards, an ordinary file that matches it; else the ordinary file itself.
bool ListingFindsFile(const DiscListing& disc, const WindowsPath& path);

// Names and their letter case: the upper case Windows compares names in.
Text UpperName(const Text& name);
