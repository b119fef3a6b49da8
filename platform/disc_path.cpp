#include "platform/disc_path.h"

#include <algorithm>
#include <cwctype>

#include "platform/listing.h"

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// Windows hands these names to a device wherever they stand, with any extension ("nul.txt").
bool IsDeviceName(const Text& name) {
  Text base = UpperName(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ')
    base.pop_back();
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::any_of(std::begin(kDevices), std::end(kDevices), [&](const wchar_t* d) { return base == d; }))
    return true;
  return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
         base[3] >= L'1' && base[3] <= L'9';
}

bool HoldsRefusedCharacter(const Text& name) {
  return std::any_of(name.begin(), name.end(),
                     [](wchar_t c) { return c < 0x20 || Text(L"<>:\"|").find(c) != Text::npos; });
}

const DiscEntry* Match(const std::vector<DiscEntry>& entries,
                       const DiscListing& disc,
                       const Text& wanted,
                       bool* caseDiffers,
                       bool* normalisationOnly) {
  for (const DiscEntry& e : entries)
    if (e.name == wanted) return &e;
  Text key = UpperName(wanted);
  for (const DiscEntry& e : entries) {
    if (UpperName(e.name) == key) {
      *caseDiffers = true;
      return &e;
    }
  }
  // Composed before the letter case is folded: a table of upper case may know only composed letters.
  Text composed = UpperName(disc.Composed(wanted));
  for (const DiscEntry& e : entries) {
    if (UpperName(disc.Composed(e.name)) == composed) {
      *normalisationOnly = true;
      return &e;
    }
  }
  return nullptr;
}

}  // namespace

Text UpperName(const Text& name) {
  Text upper = name;
  for (auto& c : upper)
    c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return upper;
}

WindowsPath ParseWindowsPath(const Text& path) {
  WindowsPath parsed;
  // Only a full path on a drive: "X:\...". A UNC path or "X:name" is nothing the program builds.
  bool onDrive = path.size() >= 3 && std::iswalpha(static_cast<wint_t>(path[0])) && path[0] < 0x80 &&
                 path[1] == L':' && IsSeparator(path[2]);
  if (!onDrive) return parsed;

  // Windows normalises the text first and only then looks at what the names hold.
  std::vector<Text> names;
  std::size_t start = 3;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end]))
      ++end;
    Text name = path.substr(start, end - start);
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
    } else if (name != L"." && !name.empty()) {
      names.push_back(name);
    }
    start = end + 1;
  }
  for (Text& name : names)
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.'))
      name.pop_back();
  names.erase(std::remove_if(names.begin(), names.end(), [](const Text& n) { return n.empty(); }),
              names.end());

  for (std::size_t i = 0; i < names.size(); ++i) {
    const Text& name = names[i];
    if (HoldsRefusedCharacter(name) || IsDeviceName(name)) return WindowsPath();
    bool wild = name.find_first_of(L"*?") != Text::npos;
    if (wild && (i + 1 < names.size() || IsSeparator(path.back()))) return WindowsPath();
    parsed.wildcards = wild;
  }
  parsed.drive = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(path[0])));
  parsed.names = std::move(names);
  parsed.folderForm = IsSeparator(path.back());
  return parsed;
}

DiscLookup LookUp(const DiscListing& disc, const std::vector<Text>& names) {
  DiscLookup found;
  found.status = LookupStatus::Found;
  found.kind = EntryKind::Folder;
  found.attributes = kAttrDirectory;
  bool normalisationOnly = false;
  std::vector<DiscEntry> entries;
  for (const Text& wanted : names) {
    if (found.kind != EntryKind::Folder || !disc.List(found.hostNames, &entries)) {
      found.status = LookupStatus::Missing;
      return found;
    }
    const DiscEntry* entry = Match(entries, disc, wanted, &found.caseDiffers, &normalisationOnly);
    if (!entry) {
      found.status = LookupStatus::Missing;
      return found;
    }
    if (!found.shown.empty()) found.shown += L'\\';
    found.shown += entry->name;
    found.kind = entry->kind;
    found.attributes = entry->attributes;
    if (entry->link)
      found.hostNames = entry->target;
    else
      found.hostNames.push_back(entry->hostName);
    switch (entry->kind) {
      case EntryKind::LinkOutside:
        found.status = LookupStatus::LinkOutside;
        return found;
      case EntryKind::LinkBroken:
        found.status = LookupStatus::LinkBroken;
        return found;
      case EntryKind::Special:
        found.status = LookupStatus::NotRegular;
        break;
      default:
        break;
    }
  }
  if (found.status == LookupStatus::Found && normalisationOnly)
    found.status = LookupStatus::NormalisationOnly;
  return found;
}

bool ListingFindsFile(const DiscListing& disc, const WindowsPath& path) {
  auto ordinaryFile = [](const DiscEntry& e) {
    return e.kind == EntryKind::File && IsOrdinaryFile(e.attributes);
  };
  if (path.drive == 0) return false;
  if (!path.folderForm && !path.wildcards) {
    DiscLookup file = LookUp(disc, path.names);
    return file.status == LookupStatus::Found && file.kind == EntryKind::File &&
           IsOrdinaryFile(file.attributes);
  }
  std::vector<Text> folderNames = path.names;
  Text pattern = L"*";
  if (path.wildcards) {
    pattern = UpperName(folderNames.back());
    folderNames.pop_back();
  }
  DiscLookup folder = LookUp(disc, folderNames);
  std::vector<DiscEntry> entries;
  if (folder.status != LookupStatus::Found || folder.kind != EntryKind::Folder ||
      !disc.List(folder.hostNames, &entries))
    return false;
  return std::any_of(entries.begin(), entries.end(), [&](const DiscEntry& e) {
    return ordinaryFile(e) && MatchesPattern(pattern, UpperName(e.name));
  });
}
