#include <iostream>

#include "tools/author/tool_system.h"

int Preview(const std::vector<std::string>&) {
  std::cerr << "velmaro-author: preview: not in the Windows build yet\n";
  return 2;
}
