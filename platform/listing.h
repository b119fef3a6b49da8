// The rules of the existence test that the real and the fake file systems share: what is listed for a
// path, and which entries of a listing count as files.
#pragma once

#include <cstdint>

#include "platform/text.h"

// File attribute bits as a listing reports them.
constexpr uint32_t kAttrReadOnly = 0x01, kAttrHidden = 0x02, kAttrSystem = 0x04, kAttrDirectory = 0x10,
                   kAttrArchive = 0x20;

// The pattern to list for a path: a path ending in a backslash lists that folder's contents.
Text ListingPattern(const Text& path);

// Read-only and archived files count, as on a CD; hidden and system files and folders do not.
bool IsOrdinaryFile(uint32_t attributes);

// "*" and "?" in a listing's last component, as the listing matches them against one name; both are given
// in the same letter case.
bool MatchesPattern(const Text& pattern, const Text& name);
