// Files chosen for a disc: the name a configuration file holds for them, relative to the disc's folder,
// and the refusal of a file the burned disc would not hold.
#pragma once

#include <optional>

#include "platform/text.h"

// Upper case of one character as the file system compares names.
using UpperCaseFunction = wchar_t (*)(wchar_t);

// `path` as a name relative to `folder`, with "\" between folders; none when it is not inside it. Both are
// full paths ("D:\disc", "\\server\share\disc", with "\\?\" or not); "\" and "/" both separate, "." is
// dropped and ".." goes up, and names match in any letter case, a whole name at a time ("D:\disc2" is not
// inside "D:\disc"). The folder itself is not inside.
std::optional<Text> PathInsideFolder(const Text& folder, const Text& path, UpperCaseFunction upper);

struct DiscFileChoice {
  std::optional<Text> relative;  // what to write, when the file may be named
  Text refusal;                  // else why not, to tell the author
};

// Decides on a file chosen for the disc at `discFolder`. `finalFolder` and `finalPath` are the two with
// every link followed (empty when the system could not say): a file reached through a link that leads out
// of the disc is refused too, as the burned disc will not hold what it points at.
DiscFileChoice ChooseDiscFile(const Text& discFolder,
                              const Text& path,
                              const Text& finalFolder,
                              const Text& finalPath,
                              UpperCaseFunction upper);
