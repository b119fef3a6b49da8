#include "platform/listing.h"

Text ListingPattern(const Text& path) {
  if (!path.empty() && path.back() == L'\\') return path + L'*';
  return path;
}

bool IsOrdinaryFile(uint32_t attributes) {
  return (attributes & (kAttrHidden | kAttrSystem | kAttrDirectory)) == 0;
}
