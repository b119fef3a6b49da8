#include "platform/listing.h"

Text ListingPattern(const Text& path) {
  if (!path.empty() && path.back() == L'\\') return path + L'*';
  return path;
}

bool IsOrdinaryFile(uint32_t attributes) {
  return (attributes & (kAttrHidden | kAttrSystem | kAttrDirectory)) == 0;
}

// Greedy with one backtrack point, so linear in practice however many stars a name holds.
bool MatchesPattern(const Text& pattern, const Text& name) {
  std::size_t p = 0, n = 0, star = Text::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = n;
    } else if (star != Text::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*')
    ++p;
  return p == pattern.size();
}
