// What a starter disc holds, the same from every system's `new`: the files as bytes, the pictures as what to
// draw in them.
#pragma once

#include <string>
#include <vector>

struct StarterFile {
  std::string name;  // relative to the disc's root, "/" between folders
  std::string bytes;
};
std::vector<StarterFile> StarterFiles();

// A picture of the disc: a vertical gradient from the colour (0 to 1 each) to a third of it, with the title
// in bold white near its bottom left.
struct StarterPicture {
  std::string name;
  int width, height;
  double red, green, blue;
  const char* title;
};
std::vector<StarterPicture> StarterPictures();

// What makes the disc start on Linux: the Linux program `program` (its bytes, from beside velmaro.exe) as
// `velmaro`, and autorun.sh, which starts it. They go onto a disc together, each with an execute bit where
// the file system keeps one. Empty when `program` is no Linux program.
std::vector<StarterFile> LinuxStartFiles(const std::string& program);
