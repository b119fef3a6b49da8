// The disc of the check benchmarks: the starter disc with a 50-page menu of 2,500 links (page links,
// documents, programs, sounds, headings).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/author/newdisc.h"

inline std::string LargeDiscLink(int page, int link) {
  std::string action;
  if (link == 0 && page < 49)
    action = "5|" + std::to_string(page + 1) + "|";
  else if (link == 1 && page > 0)
    action = "5|" + std::to_string(page - 1) + "|";
  else if (link % 5 == 2)
    action = "3|docs\\readme.txt|";
  else if (link % 5 == 3)
    action = "0|tools\\hello.cmd -x|";
  else if (link % 5 == 4)
    action = "8|sounds\\hello.wav|";
  else
    action = "7|";
  return std::to_string(page) + "|" + std::to_string(link) + "|Link " + std::to_string(link) + " of page " +
         std::to_string(page) + "|Verdana|0010|16777215|65535|" + std::to_string(300 + (link / 25) * 4000) +
         "|" + std::to_string(100 + (link % 25) * 240) + "|" + action;
}

// Writes the disc afresh in `disc`; false with `error` said when it cannot.
inline bool WriteLargeDisc(const std::string& disc, std::string* error) {
  std::filesystem::remove_all(disc);
  if (!WriteStarterDisc(disc, "", false, error)) return false;
  std::ofstream menu(disc + "/menu.inf", std::ios::binary);
  for (int page = 0; page < 50; ++page)
    for (int link = 0; link < 50; ++link)
      menu << LargeDiscLink(page, link) << "\r\n";
  menu.close();
  if (!menu) *error = "cannot write " + disc + "/menu.inf";
  return static_cast<bool>(menu);
}
