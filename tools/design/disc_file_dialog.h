// The system's open dialog for a file of the disc: it starts in the disc's folder and hands back the name
// a configuration file holds, relative to the disc.
#pragma once

#include <optional>

#include "platform/text.h"
#include "platform/win32/win.h"

enum class DiscFileKind { Picture, Sound, Program, AnyFile };

// Opens where `current` (a name relative to the disc, or empty) is, else at the disc's folder. A file
// outside the disc, or reached through a link that leads out, is refused with a message saying why, and
// the dialog opens again; none when the author cancels.
std::optional<Text> BrowseDiscFile(HWND owner,
                                   const Text& discFolder,
                                   DiscFileKind kind,
                                   const Text& current);
