#include "tools/author/headless_host.h"

#include <algorithm>

#include "tools/author/check_engine.h"

namespace {

// A file found before, as the machine opens it: by its host names from the root.
SimulatedMachine::Resolved Opened(const LookedUpFile& file) {
  return file.IsFile() ? SimulatedMachine::Found(file.name) : SimulatedMachine::Resolved();
}

}  // namespace

LookedUpFile HeadlessCheckHost::Find(const Text& windowsPath) {
  auto known = found_.find(windowsPath);
  if (known != found_.end()) return known->second;
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
  found_.emplace(windowsPath, file);
  return file;
}

KeptPictures::Digest KeptPictures::DigestOf(DiscFileReader& reader) {
  std::uint64_t length = 0, hash = 14695981039346656037ull;
  char buffer[1 << 14];
  while (std::size_t got = reader.Read(buffer, sizeof buffer)) {
    length += got;
    for (std::size_t i = 0; i < got; ++i)
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
  }
  return {length, hash};
}

std::string HeadlessCheckHost::Head(const LookedUpFile& file, std::size_t bytes) {
  if (!file.IsFile()) return std::string();
  auto key = std::make_pair(file.name, bytes);
  auto known = heads_.find(key);
  if (known == heads_.end()) known = heads_.emplace(key, disc_.ReadHead(Opened(file), bytes)).first;
  return known->second;
}

PictureInfo HeadlessCheckHost::Picture(const LookedUpFile& file) {
  if (!file.IsFile()) return PictureInfo();
  // Decoding is the slow and the memory-hungry part: each picture once.
  auto known = pictures_.find(file.name);
  if (known != pictures_.end()) return known->second;
  SimulatedMachine::Resolved opened = Opened(file);
  std::unique_ptr<DiscFileReader> reader = kept_ ? disc_.Open(opened) : nullptr;
  PictureInfo info =
      reader ? kept_->Find(file.name, *reader, [&] { return disc_.Picture(opened); }) : disc_.Picture(opened);
  return pictures_.emplace(file.name, info).first->second;
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

// Here rather than beside Check, which each platform defines: the checker's memory is the same on both.
DiscChecker::DiscChecker() : kept_(std::make_unique<CheckMemory>()) {}
DiscChecker::~DiscChecker() = default;

CheckResult CheckOnMachine(SimulatedMachine& machine,
                           const GivenFiles& given,
                           KeptPictures& kept,
                           const CheckOptions& options) {
  machine.codePage = options.codePage;
  for (const auto& file : given)
    machine.GiveFile(FromUtf8(file.first), file.second);
  HeadlessCheckHost host(machine, &kept);
  return RunCheck(host, options);
}
