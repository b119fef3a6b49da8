#include "tools/author/headless_host.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

DiscFile HeadlessCheckHost::Find(const Text& windowsPath) {
  HeadlessPlatform::Resolved r = disc_.Resolve(windowsPath);
  DiscFile file;
  if (r.path.empty()) return file;
  file.status = DiscFile::Status::Found;
  file.name = r.path.size() > disc_.folder().size() ? r.path.substr(disc_.folder().size() + 1) : "";
  file.caseDiffers = r.caseDiffers;
  file.isFolder = r.isFolder;
  return file;
}

std::string HeadlessCheckHost::Head(const DiscFile& file, std::size_t bytes) {
  if (!file.IsFile()) return "";
  std::ifstream in(PathOf(file), std::ios::binary);
  std::string head(bytes, '\0');
  in.read(&head[0], static_cast<std::streamsize>(bytes));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return head;
}

PictureInfo HeadlessCheckHost::Picture(const DiscFile& file) {
  if (!file.IsFile()) return PictureInfo();
  // Decoding is the slow and the memory-hungry part: each picture once.
  auto known = pictures_.find(file.name);
  if (known == pictures_.end()) known = pictures_.emplace(file.name, InspectPicture(PathOf(file))).first;
  return known->second;
}

namespace {

void Walk(const std::string& relative, const std::string& path, std::vector<DiscName>* names) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return;
  std::vector<std::string> entries;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") entries.push_back(name);
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end());
  for (const std::string& name : entries) {
    std::string rel = relative.empty() ? name : relative + "/" + name;
    struct stat st;
    bool folder = stat((path + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    names->push_back({rel, folder});
    if (folder) Walk(rel, path + "/" + name, names);
  }
}

}  // namespace

std::vector<DiscName> HeadlessCheckHost::AllNames() {
  std::vector<DiscName> names;
  Walk("", disc_.folder(), &names);
  return names;
}

std::vector<ProgramEffect> HeadlessCheckHost::TakeEffects() {
  std::vector<ProgramEffect> effects;
  for (const HeadlessPlatform::Effect& e : disc_.effects)
    effects.push_back({static_cast<ProgramEffect::Kind>(e.kind), e.first, e.second});
  disc_.effects.clear();
  return effects;
}
