// Captions measured before, by font and text: a page is loaded again and again while it is checked, and
// every setting of a label's font measures its caption anew, while measuring with pango is the slow part.
#pragma once

#include <map>
#include <tuple>

#include "platform/platform.h"

class MeasureCache {
 public:
  const TwipSize* Find(const LabelFont& font, unsigned dpi, const Text& caption) const {
    auto found = sizes_.find(Key(font, dpi, caption));
    return found == sizes_.end() ? nullptr : &found->second;
  }
  void Keep(const LabelFont& font, unsigned dpi, const Text& caption, TwipSize size) {
    // Bounded: a menu.inf of millions of distinct captions must not keep them all.
    if (sizes_.size() >= kMostKept) sizes_.clear();
    sizes_.emplace(Key(font, dpi, caption), size);
  }

 private:
  using KeyType = std::tuple<Text, float, bool, bool, unsigned, Text>;
  static KeyType Key(const LabelFont& font, unsigned dpi, const Text& caption) {
    return {font.name, font.size, font.bold, font.italic, dpi, caption};
  }
  static constexpr std::size_t kMostKept = 1 << 14;
  std::map<KeyType, TwipSize> sizes_;
};
