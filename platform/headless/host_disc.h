// A disc's folder on this machine, seen only from inside: every file is reached from a descriptor of the
// folder, one name at a time and without following links on the way, so nothing outside it is ever opened,
// stat'ed or listed. A symbolic link counts as what it points at while that stays inside the folder; one
// that leads out, dangles or loops is reported as such and never followed.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/simulated_machine.h"

class HostDisc : public DiscTree {
 public:
  explicit HostDisc(const std::string& folder);
  ~HostDisc() override;
  HostDisc(const HostDisc&) = delete;
  HostDisc& operator=(const HostDisc&) = delete;

  bool readable() const override { return root_ >= 0; }

  // Listings are kept: the folder is taken not to change while one run of the tools looks at it.
  bool List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const override;
  // NFC, by glib.
  Text Composed(const Text& name) const override;

  // A read-only descriptor of the regular file at `names` (host names from the root, as a lookup gives
  // them); -1 for anything else. Opened without blocking, so a FIFO that got there meanwhile cannot hang.
  // The caller closes it.
  int OpenRegular(const std::vector<std::string>& names) const;

  // The same file read through that descriptor, up to the size it had when it was opened.
  std::unique_ptr<DiscFileReader> OpenReader(const std::vector<std::string>& names) const override;

  using WalkEntry = DiscWalkEntry;
  std::vector<WalkEntry> Walk() const override;

 private:
  int OpenFolder(const std::vector<std::string>& names) const;
  // Where a link in `at` that holds `target` leads, as host names from the root.
  EntryKind Follow(std::vector<std::string> at,
                   const std::string& target,
                   int* linksLeft,
                   std::vector<std::string>* leadsTo) const;
  void WalkFolder(const std::vector<std::string>& real,
                  const std::string& relative,
                  int depth,
                  std::vector<WalkEntry>* out,
                  std::set<std::pair<unsigned long, unsigned long>>* visited) const;

  int root_ = -1;
  mutable std::map<std::vector<std::string>, std::vector<DiscEntry>> listings_;
};

// The first `limit` bytes of a regular file, read without following a last link and without blocking;
// nothing for anything else.
std::string ReadFileHead(const std::string& file, std::size_t limit);
