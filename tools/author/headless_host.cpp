#include "tools/author/headless_host.h"

#include <algorithm>

namespace {

// A file found before, as the headless platform opens it: by its host names from the root.
HeadlessPlatform::Resolved Opened(const DiscFile& file) {
  HeadlessPlatform::Resolved r;
  if (!file.IsFile()) return r;
  r.status = LookupStatus::Found;
  for (std::size_t start = 0; start <= file.name.size();) {
    std::size_t end = std::min(file.name.find('/', start), file.name.size());
    r.hostNames.push_back(file.name.substr(start, end - start));
    start = end + 1;
  }
  return r;
}

}  // namespace

DiscFile HeadlessCheckHost::Find(const Text& windowsPath) {
  HeadlessPlatform::Resolved r = disc_.Resolve(windowsPath);
  DiscFile file;
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

std::string HeadlessCheckHost::Head(const DiscFile& file, std::size_t bytes) {
  return disc_.ReadHead(Opened(file), bytes);
}

PictureInfo HeadlessCheckHost::Picture(const DiscFile& file) {
  if (!file.IsFile()) return PictureInfo();
  // Decoding is the slow and the memory-hungry part: each picture once.
  auto known = pictures_.find(file.name);
  if (known == pictures_.end()) known = pictures_.emplace(file.name, disc_.Picture(Opened(file))).first;
  return known->second;
}

std::vector<DiscName> HeadlessCheckHost::AllNames() {
  std::vector<DiscName> names;
  for (const HostDisc::WalkEntry& entry : disc_.Walk())
    names.push_back({entry.relative, entry.kind == EntryKind::Folder, entry.kind});
  return names;
}

std::vector<ProgramEffect> HeadlessCheckHost::TakeEffects() {
  std::vector<ProgramEffect> effects;
  for (const HeadlessPlatform::Effect& e : disc_.effects)
    effects.push_back({static_cast<ProgramEffect::Kind>(e.kind), e.first, e.second});
  disc_.effects.clear();
  return effects;
}
