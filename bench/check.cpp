// check of a large disc, in one process as the designer runs it after every edit: a 50-page menu of 2,500
// links (page links, documents, programs, sounds, headings) on the starter disc. Prints the first run (fonts
// found and loaded) and the median of the runs after it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/author/check.h"
#include "tools/author/newdisc.h"

namespace {

std::string Link(int page, int link) {
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

double Seconds(const std::string& disc) {
  auto start = std::chrono::steady_clock::now();
  CheckResult result = CheckDisc(disc);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (result.Count(Severity::Error) != 0) std::fprintf(stderr, "the benchmark disc has errors\n");
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  std::string disc = argc > 1 ? argv[1] : "build/bench/data/check-disc";
  std::filesystem::remove_all(disc);
  std::string error;
  if (!WriteStarterDisc(disc, "", false, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::ofstream menu(disc + "/menu.inf", std::ios::binary);
  for (int page = 0; page < 50; ++page)
    for (int link = 0; link < 50; ++link)
      menu << Link(page, link) << "\r\n";
  menu.close();

  double first = Seconds(disc);
  std::vector<double> runs;
  for (int i = 0; i < 15; ++i)
    runs.push_back(Seconds(disc));
  std::sort(runs.begin(), runs.end());
  std::printf("check of 50 pages, 2500 links: first run %.0f ms, median of %zu after it %.0f ms\n",
              first * 1000, runs.size(), runs[runs.size() / 2] * 1000);
  return 0;
}
