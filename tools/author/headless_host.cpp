#include "tools/author/headless_host.h"

#include <algorithm>

namespace {

// A file found before, as the machine opens it: by its host names from the root.
SimulatedMachine::Resolved Opened(const LookedUpFile& file) {
  return file.IsFile() ? SimulatedMachine::Found(file.name) : SimulatedMachine::Resolved();
}

}  // namespace

LookedUpFile HeadlessCheckHost::Find(const Text& windowsPath) {
  SimulatedMachine::Resolved r = disc_.Resolve(windowsPath);
  LookedUpFile file;
  file.status = r.status;
  file.caseDiffers = r.caseDiffers;
  file.isFolder = r.status == LookupStatus::Found && r.isFolder;
  if (r.status == LookupStatus::Found) {
    for (const std::string& name : r.hostNames)
      file.name += (file.name.empty() ? "" : "/") + name;
  } else {
    Text shown = r.found;
    std::replace(shown.begin(), shown.end(), L'\\', L'/');
    file.name = ToUtf8(shown);
  }
  return file;
}

std::string HeadlessCheckHost::Head(const LookedUpFile& file, std::size_t bytes) {
  return disc_.ReadHead(Opened(file), bytes);
}

PictureInfo HeadlessCheckHost::Picture(const LookedUpFile& file) {
  if (!file.IsFile()) return PictureInfo();
  // Decoding is the slow and the memory-hungry part: each picture once.
  auto known = pictures_.find(file.name);
  if (known == pictures_.end()) known = pictures_.emplace(file.name, disc_.Picture(Opened(file))).first;
  return known->second;
}

std::vector<DiscName> HeadlessCheckHost::AllNames() {
  std::vector<DiscName> names;
  for (const DiscWalkEntry& entry : disc_.Walk())
    names.push_back({entry.relative, entry.kind == EntryKind::Folder, entry.kind});
  return names;
}

std::vector<ProgramEffect> HeadlessCheckHost::TakeEffects() {
  std::vector<ProgramEffect> effects;
  for (const SimulatedMachine::Effect& e : disc_.effects)
    effects.push_back({static_cast<ProgramEffect::Kind>(e.kind), e.first, e.second});
  disc_.effects.clear();
  return effects;
}
