// velmaro-author: tools for the authors of discs (commands.h).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/author/commands.h"

int main(int argc, char** argv) {
  // A fault of the tool is said as one, with the usage's exit status, never as an abort.
  try {
    return RunAuthorTool(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "velmaro-author: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "velmaro-author: internal error\n";
  }
  return 2;
}
