#include "platform/headless/simulated_machine.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"
#include "platform/events.h"

std::size_t MemoryFileReader::Read(char* buffer, std::size_t size) {
  std::size_t count = std::min(size, bytes_.size() - read_);
  if (count > 0) std::memcpy(buffer, bytes_.data() + read_, count);
  read_ += count;
  return count;
}

// The folder's listing with the given files in its root, so that every lookup and existence test of the
// program finds them as it would find the saved files.
class SimulatedMachine::GivenListing : public DiscListing {
 public:
  explicit GivenListing(const SimulatedMachine& machine) : machine_(machine) {}
  bool List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const override {
    if (!machine_.disc().List(folder, entries)) return false;
    if (!folder.empty() || machine_.given_.empty()) return true;
    for (const auto& given : machine_.given_) {
      auto same = std::find_if(entries->begin(), entries->end(),
                               [&](const DiscEntry& e) { return UpperName(e.name) == given.first; });
      if (same == entries->end()) {
        DiscEntry entry;
        entry.name = given.second.name;
        entry.hostName = ToUtf8(given.second.name);
        entries->push_back(entry);
        continue;
      }
      same->kind = EntryKind::File;
      same->link = false;
      same->target.clear();
      same->attributes = 0;
    }
    std::sort(entries->begin(), entries->end(),
              [](const DiscEntry& a, const DiscEntry& b) { return a.hostName < b.hostName; });
    return true;
  }
  Text Composed(const Text& name) const override { return machine_.disc().Composed(name); }

 private:
  const SimulatedMachine& machine_;
};

SimulatedMachine::SimulatedMachine(std::string folder, char separator)
    : folder_(std::move(folder)), separator_(separator) {
  while (folder_.size() > 1 && (folder_.back() == separator_ || folder_.back() == '/'))
    folder_.pop_back();
  previous_ = CurrentPlatform();
  SetPlatform(this);
}

SimulatedMachine::~SimulatedMachine() {
  SetPlatform(previous_);
}

void SimulatedMachine::GiveFile(const Text& name, std::string bytes) {
  given_[UpperName(name)] = GivenFile{name, std::move(bytes)};
}

const SimulatedMachine::GivenFile* SimulatedMachine::Given(const std::vector<std::string>& hostNames) const {
  if (hostNames.size() != 1 || given_.empty()) return nullptr;
  auto found = given_.find(UpperName(FromUtf8(hostNames[0])));
  return found == given_.end() ? nullptr : &found->second;
}

SimulatedMachine::Resolved SimulatedMachine::Resolve(const Text& windowsPath) const {
  Resolved r;
  WindowsPath path = ParseWindowsPath(windowsPath);
  if (path.drive != L'D' || path.wildcards) {
    r.status = LookupStatus::Refused;
    return r;
  }
  DiscLookup found = LookUp(GivenListing(*this), path.names);
  r.status = found.status;
  r.caseDiffers = found.caseDiffers;
  r.found = found.shown;
  r.isFolder = found.kind == EntryKind::Folder;
  if (found.status == LookupStatus::Found) {
    r.hostNames = found.hostNames;
    r.path = folder_;
    for (const std::string& name : found.hostNames)
      r.path += separator_ + name;
  }
  return r;
}

SimulatedMachine::Resolved SimulatedMachine::Found(const std::string& relative) {
  Resolved r;
  r.status = LookupStatus::Found;
  for (std::size_t start = 0; start <= relative.size();) {
    std::size_t end = std::min(relative.find('/', start), relative.size());
    r.hostNames.push_back(relative.substr(start, end - start));
    start = end + 1;
  }
  return r;
}

std::unique_ptr<DiscFileReader> SimulatedMachine::Open(const Resolved& file) const {
  if (file.status != LookupStatus::Found || file.isFolder) return nullptr;
  if (const GivenFile* given = Given(file.hostNames)) return std::make_unique<MemoryFileReader>(given->bytes);
  return disc().OpenReader(file.hostNames);
}

std::string SimulatedMachine::ReadHead(const Resolved& file, std::size_t limit) const {
  std::unique_ptr<DiscFileReader> reader = Open(file);
  if (!reader) return std::string();
  std::string bytes(limit, '\0');
  std::size_t got = 0;
  try {
    while (got < limit) {
      std::size_t n = reader->Read(&bytes[got], limit - got);
      if (n == 0) break;
      got += n;
    }
  } catch (const AppError&) {
  }
  bytes.resize(got);
  return bytes;
}

std::vector<DiscWalkEntry> SimulatedMachine::Walk() const {
  std::vector<DiscWalkEntry> walk = disc().Walk();
  for (const auto& given : given_) {
    auto isRoot = [](const DiscWalkEntry& e) { return e.relative.find('/') == std::string::npos; };
    auto same = std::find_if(walk.begin(), walk.end(), [&](const DiscWalkEntry& e) {
      return isRoot(e) && UpperName(e.name) == given.first;
    });
    if (same != walk.end()) {
      // A folder of that name loses what the walk found in it.
      auto inside = same + 1;
      while (inside != walk.end() && !isRoot(*inside))
        ++inside;
      walk.erase(same + 1, inside);
      same->kind = EntryKind::File;
      same->link = same->revisit = false;
      continue;
    }
    std::string host = ToUtf8(given.second.name);
    auto after = std::find_if(walk.begin(), walk.end(),
                              [&](const DiscWalkEntry& e) { return isRoot(e) && e.relative > host; });
    walk.insert(after, DiscWalkEntry{host, given.second.name, EntryKind::File, false, false});
  }
  return walk;
}

void SimulatedMachine::Start() {
  events::NewProcess();
  ended = timerEnabled = menuShown = splashShown = menuCreated_ = false;
  boxSize[0] = boxSize[1] = TwipSize{5415, 3615};
  effects.clear();
  pictures.clear();
  try {
    events::MainLoad();
  } catch (const ProgramEnded&) {
  }
}

void SimulatedMachine::ShellExecuteA(Owner, const Text&, const Text& file, const Text& parameters) {
  effects.push_back({Effect::Shell, file, parameters});
}

void SimulatedMachine::mciSendStringA(const Text& command) {
  effects.push_back({Effect::Mci, command, Text()});
}

void SimulatedMachine::ShowCriticalMessage(const Text& text, const Text& title) {
  effects.push_back({Effect::Message, text, title});
}

bool SimulatedMachine::FileExists(const Text& path) {
  WindowsPath parsed = ParseWindowsPath(path);
  return parsed.drive == L'D' && ListingFindsFile(GivenListing(*this), parsed);
}

void SimulatedMachine::EndProgram() {
  ended = true;
  throw ProgramEnded();
}

void SimulatedMachine::OpenTextFile(const Text& path) {
  CloseTextFile();
  textFile_ = Open(Resolve(path));
  if (!textFile_) throw AppError(ErrorKind::FileNotFound);
}

std::size_t SimulatedMachine::ReadTextBytes(char* buffer, std::size_t size) {
  return textFile_ ? textFile_->Read(buffer, size) : 0;
}

void SimulatedMachine::RewindTextFile() {
  if (textFile_) textFile_->Rewind();
}

void SimulatedMachine::CloseTextFile() {
  textFile_.reset();
}

void SimulatedMachine::LoadPictureFile(Box box, const Text& path) {
  if (box == Box::BG && !menuCreated_) {
    menuCreated_ = true;
    events::MenuLoad();
  }
  PictureLoad load{path, PictureLoad::Missing, "", {0, 0}};
  PictureInfo info = Picture(Resolve(path));
  load.format = info.format;
  load.size = info.size;
  if (info.exists)
    load.result = !info.decodes ? PictureLoad::Unreadable
                  : !info.shown ? PictureLoad::NotShown
                                : PictureLoad::Shown;
  pictures.push_back(load);
  if (load.result != PictureLoad::Shown) throw AppError(ErrorKind::FileNotFound);
  boxSize[static_cast<int>(box)] = info.size;
}

void SimulatedMachine::SetInnerSize(Win window, TwipSize inner) {
  inner_[static_cast<int>(window)] = inner;
}

TwipSize SimulatedMachine::WindowSize(Win window) {
  return inner_[static_cast<int>(window)];
}

void SimulatedMachine::ShowWindow(Win window) {
  if (window == Win::Splash) splashShown = true;
  if (window != Win::Menu) return;
  if (!menuCreated_) {
    menuCreated_ = true;
    events::MenuLoad();
  }
  bool first = !menuShown;
  menuShown = true;
  if (first) events::MenuActivate();
}

void SimulatedMachine::HideWindow(Win window) {
  if (window == Win::Splash) splashShown = false;
  if (window == Win::Menu) menuShown = false;
}
