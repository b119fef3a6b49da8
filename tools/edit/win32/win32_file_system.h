// The editing model's files on Windows. Paths are full paths; a save goes through a temporary file in the
// same folder, so a reader never sees half a file.
#pragma once

#include "tools/edit/file_system.h"

class Win32FileSystem : public EditFileSystem {
 public:
  bool Read(const Text& path, std::string& bytes, FileStamp& stamp) override;
  FileStamp Stamp(const Text& path) override;
  FileStamp Replace(const Text& path, const std::string& bytes) override;
};
