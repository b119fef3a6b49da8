// The editing model's files on Linux. Paths are UTF-8.
#pragma once

#include "tools/edit/file_system.h"

class PosixFileSystem : public EditFileSystem {
 public:
  bool Read(const Text& path, std::string& bytes, FileStamp& stamp) override;
  FileStamp Stamp(const Text& path) override;
  FileStamp Replace(const Text& path, const std::string& bytes) override;
};
