// The last few disc folders opened, kept in HKCU\Software\Velmaro\Designer for the File menu.
#pragma once

#include <vector>

#include "platform/text.h"

class RecentFolders {
 public:
  static constexpr std::size_t kKept = 8;
  RecentFolders();
  const std::vector<Text>& Folders() const { return folders_; }
  // Puts the folder first (once, whatever its letter case) and stores the list.
  void Add(const Text& folder);
  void Remove(const Text& folder);

 private:
  void Store() const;
  std::vector<Text> folders_;
};
