// A disc's folder on Windows, read through Win32 only and only from inside: every name is listed by
// FindFirstFileW in its folder, and a reparse point (a symbolic link, a junction) counts as what it leads to
// while that stays inside the folder; one that leads out, to nothing or into a loop is reported as such,
// never followed. Only regular files are opened.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/simulated_machine.h"

class WindowsDisc : public DiscTree {
 public:
  // `folder` in UTF-8.
  explicit WindowsDisc(const std::string& folder);

  bool readable() const override { return readable_; }
  // Listings are kept: the folder is taken not to change while one run of the tools looks at it.
  bool List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const override;
  // NFC, by the system's NormalizeString where it has one.
  Text Composed(const Text& name) const override;
  std::unique_ptr<DiscFileReader> OpenReader(const std::vector<std::string>& names) const override;
  std::vector<DiscWalkEntry> Walk() const override;

  // The full Windows path of host names from the root.
  Text PathOf(const std::vector<std::string>& names) const;

 private:
  // Where a reparse point at `names` leads, as host names from the root; its kind (LinkOutside or
  // LinkBroken when it leads nowhere inside).
  EntryKind Follow(const std::vector<std::string>& names, std::vector<std::string>* leadsTo) const;
  void WalkFolder(const std::vector<std::string>& real,
                  const std::string& relative,
                  int depth,
                  std::vector<DiscWalkEntry>* out,
                  std::vector<std::string>* visited) const;

  Text root_;       // as given, without a final separator
  Text rootFinal_;  // the root's final path, upper case, with a final separator
  bool readable_ = false;
  mutable std::map<std::vector<std::string>, std::vector<DiscEntry>> listings_;
};
