// A disc in a temporary folder, starting as the starter disc, for tests that run the tools on real files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/author/newdisc.h"

class DiscFolder {
 public:
  DiscFolder() {
    char name[] = "/tmp/velmaro-disc-XXXXXX";
    path_ = mkdtemp(name);
    std::string error;
    std::string exe = path_ + ".exe";
    std::ofstream(exe) << "MZ";
    EXPECT_TRUE(WriteStarterDisc(path_, exe, false, &error)) << error;
    std::filesystem::remove(exe);
  }
  ~DiscFolder() { std::filesystem::remove_all(path_); }
  DiscFolder(const DiscFolder&) = delete;
  DiscFolder& operator=(const DiscFolder&) = delete;

  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::path file = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  void Lines(const std::string& name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines)
      bytes += line + "\r\n";
    Write(name, bytes);
  }
  void Remove(const std::string& name) const { std::filesystem::remove(std::filesystem::path(path_) / name); }

 private:
  std::string path_;
};
