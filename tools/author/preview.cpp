#include "tools/author/preview.h"

#include <iostream>

int Preview(const std::vector<std::string>&) {
  std::cerr << "velmaro-author: preview is not built yet\n";
  return 2;
}
