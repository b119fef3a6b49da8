// A starter disc: every file a disc needs, showing every kind of link, that check finds nothing wrong with.
#pragma once

#include <string>

// Writes the disc into `folder` (made with its parents if missing) and copies the program from `exe` when it
// is given. A folder that is not empty is refused unless `replace` (files of the same names are then
// replaced), and so is an `exe` that is no readable Windows program: each before anything is written. False,
// with `error` set, when refused or when a file cannot be written.
bool WriteStarterDisc(const std::string& folder, const std::string& exe, bool replace, std::string* error);
