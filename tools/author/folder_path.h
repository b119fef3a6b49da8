// The absolute path of a folder, learnt from the folder itself: realpath() would look at every folder above
// it, and the tools look at nothing outside the disc.
#pragma once

#include <string>

// Empty when `folder` cannot be opened as a folder.
std::string FolderRealPath(const std::string& folder);
