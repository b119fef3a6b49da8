// velmaro-author's command line, the same on every system: `words` are the arguments after the program's
// name, in UTF-8. Returns the exit status.
#pragma once

#include <string>
#include <vector>

int RunAuthorTool(const std::vector<std::string>& words);
