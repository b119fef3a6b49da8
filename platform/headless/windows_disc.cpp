#include "platform/headless/windows_disc.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/listing.h"
#include "platform/win32/scoped.h"
#include "platform/win32/sysdll.h"

namespace {

// Deeper than any disc's file system goes; stops a walk down a folder nested without end.
constexpr int kDepthLimit = 64;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

// The final path of an open handle, upper case, "\\?\" taken off; empty when the system cannot say.
Text FinalPath(HANDLE handle) {
  using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static auto getFinalPath = SystemProc<GetFinalPathFn>("kernel32.dll", "GetFinalPathNameByHandleW");
  if (!getFinalPath) return Text();
  Text path(1024, L'\0');
  DWORD length = getFinalPath(handle, &path[0], static_cast<DWORD>(path.size()), 0);
  if (length >= path.size()) {
    path.resize(length + 1);
    length = getFinalPath(handle, &path[0], static_cast<DWORD>(path.size()), 0);
  }
  if (length == 0 || length >= path.size()) return Text();
  path.resize(length);
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    path = L"\\\\" + path.substr(8);
  else if (path.compare(0, 4, L"\\\\?\\") == 0)
    path = path.substr(4);
  return UpperName(path);
}

// A file or a folder opened to ask about it, links followed or not.
HANDLE OpenToAsk(const Text& path, bool followLinks) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// A regular file's handle, read up to the size the file had when it was opened.
class HandleReader : public DiscFileReader {
 public:
  HandleReader(ScopedFile file, long long size) : file_(std::move(file)), size_(size) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    long long wanted = std::min<long long>(static_cast<long long>(size), size_ - read_);
    wanted = std::min<long long>(wanted, 1 << 30);
    if (wanted <= 0) return 0;
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(wanted), &got, nullptr))
      throw AppError(ErrorKind::FileNotFound);
    read_ += got;
    return got;
  }
  void Rewind() override {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file_.get(), zero, nullptr, FILE_BEGIN)) throw AppError(ErrorKind::FileNotFound);
    read_ = 0;
  }

 private:
  ScopedFile file_;
  long long size_, read_ = 0;
};

}  // namespace

WindowsDisc::WindowsDisc(const std::string& folder) : root_(FromUtf8(folder)) {
  while (root_.size() > 3 && (root_.back() == L'\\' || root_.back() == L'/'))
    root_.pop_back();
  ScopedFile handle(OpenToAsk(root_, true));
  BY_HANDLE_FILE_INFORMATION info{};
  readable_ = handle && GetFileInformationByHandle(handle.get(), &info) &&
              (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (readable_) {
    rootFinal_ = FinalPath(handle.get());
    if (!rootFinal_.empty() && rootFinal_.back() != L'\\') rootFinal_ += L'\\';
  }
}

Text WindowsDisc::PathOf(const std::vector<std::string>& names) const {
  Text path = root_;
  for (const std::string& name : names)
    path += (path.empty() || path.back() == L'\\' ? L"" : L"\\") + FromUtf8(name);
  return path;
}

EntryKind WindowsDisc::Follow(const std::vector<std::string>& names,
                              std::vector<std::string>* leadsTo) const {
  ScopedFile target(OpenToAsk(PathOf(names), true));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!target || !GetFileInformationByHandle(target.get(), &info)) return EntryKind::LinkBroken;
  Text final = FinalPath(target.get());
  if (rootFinal_.empty() || final.size() < rootFinal_.size() ||
      final.compare(0, rootFinal_.size(), rootFinal_))
    return final + L"\\" == rootFinal_ ? EntryKind::Folder : EntryKind::LinkOutside;
  // The names it really has, in the letter case the folders list them in.
  Text rest = final.substr(rootFinal_.size());
  std::vector<std::string> at;
  for (std::size_t start = 0; start < rest.size();) {
    std::size_t end = std::min(rest.find(L'\\', start), rest.size());
    Text upper = rest.substr(start, end - start);
    start = end + 1;
    std::vector<DiscEntry> entries;
    if (!List(at, &entries)) return EntryKind::LinkBroken;
    auto same = std::find_if(entries.begin(), entries.end(),
                             [&](const DiscEntry& e) { return UpperName(e.name) == upper && !e.link; });
    if (same == entries.end()) return EntryKind::LinkBroken;
    at.push_back(same->hostName);
  }
  *leadsTo = at;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
  return GetFileType(target.get()) == FILE_TYPE_DISK ? EntryKind::File : EntryKind::Special;
}

bool WindowsDisc::List(const std::vector<std::string>& folder, std::vector<DiscEntry>* entries) const {
  auto kept = listings_.find(folder);
  if (kept != listings_.end()) {
    *entries = kept->second;
    return true;
  }
  if (!readable_) return false;
  for (const std::string& name : folder)
    if (!IsPlainName(name)) return false;
  Text pattern = PathOf(folder) + L"\\*";
  WIN32_FIND_DATAW data{};
  ScopedFind find(FindFirstFileW(pattern.c_str(), &data));
  if (!find) return false;
  std::vector<DiscEntry> found;
  std::vector<DiscEntry> links;
  do {
    Text name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    DiscEntry entry;
    entry.name = name;
    entry.hostName = ToUtf8(name);
    entry.attributes =
        data.dwFileAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      entry.link = true;
      links.push_back(entry);
      continue;
    }
    entry.kind = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Folder : EntryKind::File;
    found.push_back(std::move(entry));
  } while (FindNextFileW(find.get(), &data));
  auto byName = [](const DiscEntry& a, const DiscEntry& b) { return a.hostName < b.hostName; };
  std::sort(found.begin(), found.end(), byName);
  // Kept before links are followed: following one lists the folders it leads through, this one included.
  listings_[folder] = found;
  for (DiscEntry& entry : links) {
    std::vector<std::string> at = folder;
    at.push_back(entry.hostName);
    entry.kind = Follow(at, &entry.target);
    if (entry.kind == EntryKind::Folder || entry.kind == EntryKind::File) {
      entry.attributes &= ~kAttrDirectory;
      if (entry.kind == EntryKind::Folder) entry.attributes |= kAttrDirectory;
    }
    found.push_back(std::move(entry));
  }
  std::sort(found.begin(), found.end(), byName);
  *entries = found;
  listings_[folder] = std::move(found);
  return true;
}

Text WindowsDisc::Composed(const Text& name) const {
  using NormalizeFn = int(WINAPI*)(int, LPCWSTR, int, LPWSTR, int);
  static auto normalize = SystemProc<NormalizeFn>("kernel32.dll", "NormalizeString");
  constexpr int kNormalizationC = 1;
  if (!normalize || name.empty()) return name;
  int length = normalize(kNormalizationC, name.c_str(), static_cast<int>(name.size()), nullptr, 0);
  if (length <= 0) return name;
  Text composed(static_cast<std::size_t>(length), L'\0');
  length = normalize(kNormalizationC, name.c_str(), static_cast<int>(name.size()), &composed[0], length);
  if (length <= 0) return name;
  composed.resize(static_cast<std::size_t>(length));
  return composed;
}

std::unique_ptr<DiscFileReader> WindowsDisc::OpenReader(const std::vector<std::string>& names) const {
  if (names.empty()) return nullptr;
  for (const std::string& name : names)
    if (!IsPlainName(name)) return nullptr;
  // The names come from a lookup with links followed: a reparse point here is one that appeared since.
  ScopedFile file(CreateFileW(PathOf(names).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      !GetFileSizeEx(file.get(), &size))
    return nullptr;
  return std::make_unique<HandleReader>(std::move(file), size.QuadPart);
}

std::vector<DiscWalkEntry> WindowsDisc::Walk() const {
  std::vector<DiscWalkEntry> out;
  std::vector<std::string> visited;
  if (!readable_) return out;
  visited.push_back(std::string());
  WalkFolder({}, "", 0, &out, &visited);
  return out;
}

void WindowsDisc::WalkFolder(const std::vector<std::string>& real,
                             const std::string& relative,
                             int depth,
                             std::vector<DiscWalkEntry>* out,
                             std::vector<std::string>* visited) const {
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
    // A folder is known by its place from the root once links are followed.
    std::string id;
    for (const std::string& name : inside)
      id += name + "/";
    bool seen = std::find(visited->begin(), visited->end(), id) != visited->end();
    if (!seen) visited->push_back(id);
    if (seen || depth + 1 >= kDepthLimit) {
      out->back().revisit = seen;
      continue;
    }
    WalkFolder(inside, place, depth + 1, out, visited);
  }
}
