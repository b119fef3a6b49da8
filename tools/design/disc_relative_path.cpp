#include "tools/design/disc_relative_path.h"

#include <vector>

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// A full path as its root ("C:", "\\SERVER\SHARE") and its names, "." and ".." applied; none when ".."
// would climb above the root or the path is not a full one.
struct SplitPath {
  Text root;
  std::vector<Text> names;
};

std::optional<SplitPath> Split(Text path) {
  // The long-path forms name the same places.
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    path = L"\\\\" + path.substr(8);
  else if (path.compare(0, 4, L"\\\\?\\") == 0)
    path = path.substr(4);
  std::vector<Text> parts;
  Text part;
  for (wchar_t c : path) {
    if (IsSeparator(c)) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);

  SplitPath split;
  std::size_t next = 0;
  if (path.size() >= 2 && path[1] == L':' && parts[0].size() == 2) {
    split.root = parts[0];
    next = 1;
  } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    if (parts.size() < 4 || parts[2].empty() || parts[3].empty()) return std::nullopt;
    split.root = L"\\\\" + parts[2] + L"\\" + parts[3];
    next = 4;
  } else {
    return std::nullopt;
  }
  for (; next < parts.size(); ++next) {
    const Text& name = parts[next];
    if (name.empty() || name == L".") continue;
    if (name == L"..") {
      if (split.names.empty()) return std::nullopt;
      split.names.pop_back();
      continue;
    }
    split.names.push_back(name);
  }
  return split;
}

bool SameName(const Text& a, const Text& b, UpperCaseFunction upper) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

}  // namespace

std::optional<Text> PathInsideFolder(const Text& folder, const Text& path, UpperCaseFunction upper) {
  std::optional<SplitPath> outer = Split(folder), inner = Split(path);
  if (!outer || !inner || !SameName(outer->root, inner->root, upper)) return std::nullopt;
  if (inner->names.size() <= outer->names.size()) return std::nullopt;
  for (std::size_t i = 0; i < outer->names.size(); ++i)
    if (!SameName(outer->names[i], inner->names[i], upper)) return std::nullopt;
  Text relative;
  for (std::size_t i = outer->names.size(); i < inner->names.size(); ++i) {
    if (!relative.empty()) relative += L'\\';
    relative += inner->names[i];
  }
  return relative;
}

DiscFileChoice ChooseDiscFile(const Text& discFolder,
                              const Text& path,
                              const Text& finalFolder,
                              const Text& finalPath,
                              UpperCaseFunction upper) {
  DiscFileChoice choice;
  std::optional<Text> relative = PathInsideFolder(discFolder, path, upper);
  if (!relative) {
    choice.refusal = path + L" is not in the disc's folder " + discFolder +
                     L", so the burned disc would not hold it. Copy it into the disc's folder first, then "
                     L"choose it there.";
    return choice;
  }
  if (!finalFolder.empty() && !finalPath.empty() && !PathInsideFolder(finalFolder, finalPath, upper)) {
    choice.refusal = path + L" is reached through a link that leads out of the disc's folder, to " +
                     finalPath +
                     L": the burned disc would not hold it. Copy the file itself into the disc's folder.";
    return choice;
  }
  choice.relative = relative;
  return choice;
}
