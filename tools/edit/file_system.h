// The files the editing model reads and writes, through whatever the system offers: POSIX calls for the
// Linux tool, the Win32 file calls for the designer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"

// What can be learnt of a file without reading it.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in the file system's own unit; only compared
  bool operator==(const FileStamp& other) const {
    return exists == other.exists && size == other.size && modified == other.modified;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

class EditFileSystem {
 public:
  virtual ~EditFileSystem() = default;
  // The whole file and its stamp; false when there is no such file. Throws std::system_error when it
  // exists but cannot be read.
  virtual bool Read(const Text& path, std::string& bytes, FileStamp& stamp) = 0;
  virtual FileStamp Stamp(const Text& path) = 0;
  // Puts `bytes` in place of the file (or as a new file) so that a reader sees either the old file or the
  // new one, never part of one: a new file in the same folder, written and flushed to the disk, then
  // renamed over the old one, keeping its permissions. Returns the new file's stamp. Throws
  // std::system_error, leaving the old file as it was.
  virtual FileStamp Replace(const Text& path, const std::string& bytes) = 0;
};
