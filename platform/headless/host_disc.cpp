#include "platform/headless/host_disc.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/errors.h"
#include "platform/listing.h"

namespace {

// As many links as Linux follows for one path before it calls it a loop.
constexpr int kLinkLimit = 40;
// Deeper than any disc's file system goes; stops a walk down a folder nested without end.
constexpr int kDepthLimit = 64;

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

EntryKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::File;
  if (S_ISDIR(mode)) return EntryKind::Folder;
  return EntryKind::Special;
}

std::string LinkText(int folder, const std::string& name) {
  char buffer[4096];
  ssize_t got = readlinkat(folder, name.c_str(), buffer, sizeof buffer);
  return got <= 0 || got == static_cast<ssize_t>(sizeof buffer)
             ? std::string()
             : std::string(buffer, static_cast<size_t>(got));
}

std::string ReadHead(int fd, std::size_t limit) {
  std::string bytes(limit, '\0');
  std::size_t got = 0;
  while (got < limit) {
    ssize_t n = read(fd, &bytes[got], limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

// A regular file's descriptor, read up to the size the file had when it was opened.
class DescriptorReader : public DiscFileReader {
 public:
  DescriptorReader(int fd, long long size) : fd_(fd), size_(size) {}
  ~DescriptorReader() override { close(fd_); }
  DescriptorReader(const DescriptorReader&) = delete;
  DescriptorReader& operator=(const DescriptorReader&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t wanted =
        static_cast<std::size_t>(std::min<long long>(static_cast<long long>(size), size_ - read_));
    if (wanted == 0) return 0;
    for (;;) {
      ssize_t got = read(fd_, buffer, wanted);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw AppError(ErrorKind::FileNotFound);
      read_ += got;
      return static_cast<std::size_t>(got);
    }
  }
  void Rewind() override {
    if (lseek(fd_, 0, SEEK_SET) != 0) throw AppError(ErrorKind::FileNotFound);
    read_ = 0;
  }

 private:
  int fd_;
  long long size_, read_ = 0;
};

}  // namespace

std::string ReadFileHead(const std::string& file, std::size_t limit) {
  int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::string();
  struct stat st;
  std::string bytes = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ReadHead(fd, limit) : std::string();
  close(fd);
  return bytes;
}

HostDisc::HostDisc(const std::string& folder) {
  root_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

HostDisc::~HostDisc() {
  if (root_ >= 0) close(root_);
}

int HostDisc::OpenFolder(const std::vector<std::string>& names) const {
  if (root_ < 0) return -1;
  int fd = openat(root_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (const std::string& name : names) {
    if (fd < 0) return -1;
    int next =
        IsPlainName(name) ? openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
    close(fd);
    fd = next;
  }
  return fd;
}

int HostDisc::OpenRegular(const std::vector<std::string>& names) const {
  if (names.empty() || !IsPlainName(names.back())) return -1;
  int folder = OpenFolder(std::vector<std::string>(names.begin(), names.end() - 1));
  if (folder < 0) return -1;
  struct stat st;
  int fd = -1;
  if (fstatat(folder, names.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
    fd = openat(folder, names.back().c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  close(folder);
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);
    fd = -1;
  }
  return fd;
}

std::unique_ptr<DiscFileReader> HostDisc::OpenReader(const std::vector<std::string>& names) const {
  int fd = OpenRegular(names);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0) return std::make_unique<DescriptorReader>(fd, st.st_size);
  if (fd >= 0) close(fd);
  return nullptr;
}

EntryKind HostDisc::Follow(std::vector<std::string> at,
                           const std::string& target,
                           int* linksLeft,
                           std::vector<std::string>* leadsTo) const {
  // An absolute target names a place of this machine, which the burned disc does not have.
  if (target.empty() || target[0] == '/') return EntryKind::LinkOutside;
  EntryKind kind = EntryKind::Folder;
  std::size_t start = 0;
  while (start <= target.size()) {
    std::size_t end = target.find('/', start);
    if (end == std::string::npos) end = target.size();
    std::string name = target.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (kind != EntryKind::Folder) return EntryKind::LinkBroken;
    if (name == "..") {
      if (at.empty()) return EntryKind::LinkOutside;
      at.pop_back();
      continue;
    }
    int folder = OpenFolder(at);
    struct stat st;
    if (folder < 0 || fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (folder >= 0) close(folder);
      return EntryKind::LinkBroken;
    }
    if (S_ISLNK(st.st_mode)) {
      std::string next = LinkText(folder, name);
      close(folder);
      if (--*linksLeft < 0) return EntryKind::LinkBroken;
      kind = Follow(at, next, linksLeft, &at);
      if (kind == EntryKind::LinkOutside || kind == EntryKind::LinkBroken) return kind;
      continue;
    }
    close(folder);
    at.push_back(name);
    kind = KindOf(st.st_mode);
  }
  *leadsTo = at;
  return kind;
}

bool HostDisc::List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const {
  auto kept = listings_.find(folder);
  if (kept != listings_.end()) {
    *entries = kept->second;
    return true;
  }
  int fd = OpenFolder(folder);
  if (fd < 0) return false;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return false;
  }
  std::vector<DiscEntry> found;
  while (dirent* d = readdir(dir)) {
    DiscEntry entry;
    entry.hostName = d->d_name;
    if (!IsPlainName(entry.hostName)) continue;
    entry.name = FromUtf8(entry.hostName);
    struct stat st;
    if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISLNK(st.st_mode)) {
      entry.link = true;
      int linksLeft = kLinkLimit;
      entry.kind = Follow(folder, LinkText(dirfd(dir), entry.hostName), &linksLeft, &entry.target);
    } else {
      entry.kind = KindOf(st.st_mode);
    }
    entry.attributes = entry.kind == EntryKind::Folder ? kAttrDirectory : 0;
    found.push_back(std::move(entry));
  }
  closedir(dir);
  std::sort(found.begin(), found.end(),
            [](const DiscEntry& a, const DiscEntry& b) { return a.hostName < b.hostName; });
  *entries = found;
  listings_[folder] = std::move(found);
  return true;
}

Text HostDisc::Composed(const Text& name) const {
  std::string utf8 = ToUtf8(name);
  gchar* composed = g_utf8_normalize(utf8.c_str(), static_cast<gssize>(utf8.size()), G_NORMALIZE_NFC);
  if (!composed) return name;
  Text result = FromUtf8(composed);
  g_free(composed);
  return result;
}

std::vector<HostDisc::WalkEntry> HostDisc::Walk() const {
  std::vector<WalkEntry> out;
  std::set<std::pair<unsigned long, unsigned long>> visited;
  struct stat st;
  if (root_ < 0 || fstat(root_, &st) != 0) return out;
  visited.emplace(st.st_dev, st.st_ino);
  WalkFolder({}, "", 0, &out, &visited);
  return out;
}

void HostDisc::WalkFolder(const std::vector<std::string>& real,
                          const std::string& relative,
                          int depth,
                          std::vector<WalkEntry>* out,
                          std::set<std::pair<unsigned long, unsigned long>>* visited) const {
  std::vector<DiscEntry> entries;
  if (!List(real, &entries)) return;
  for (const DiscEntry& e : entries) {
    std::string place = relative.empty() ? e.hostName : relative + "/" + e.hostName;
    out->push_back({place, e.name, e.kind, e.link, false});
    if (e.kind != EntryKind::Folder) continue;
    std::vector<std::string> inside = real;
    if (e.link)
      inside = e.target;
    else
      inside.push_back(e.hostName);
    int fd = OpenFolder(inside);
    struct stat st;
    bool seen = true;
    if (fd >= 0 && fstat(fd, &st) == 0) {
      std::pair<unsigned long, unsigned long> id(st.st_dev, st.st_ino);
      seen = !visited->insert(id).second;
    }
    if (fd >= 0) close(fd);
    if (seen || depth + 1 >= kDepthLimit) {
      out->back().revisit = seen;
      continue;
    }
    WalkFolder(inside, place, depth + 1, out, visited);
  }
}
