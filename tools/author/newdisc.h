// A starter disc: every file a disc needs, showing every kind of link, that check finds nothing wrong with.
#pragma once

#include <string>

// Writes the disc into `folder` (made if missing; existing files of the same names are replaced) and copies
// the program from `exe` when it is given. False, with `error` set, when a file cannot be written.
bool WriteStarterDisc(const std::string& folder, const std::string& exe, std::string* error);
