// check of a large disc, in one process as the designer runs it after every edit: a 50-page menu of 2,500
// links (page links, documents, programs, sounds, headings) on the starter disc. Prints the first run (fonts
// found and loaded) and the median of the runs after it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/large_disc.h"
#include "tools/author/check.h"

namespace {

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
  std::string error;
  if (!WriteLargeDisc(disc, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  double first = Seconds(disc);
  std::vector<double> runs;
  for (int i = 0; i < 15; ++i)
    runs.push_back(Seconds(disc));
  std::sort(runs.begin(), runs.end());
  std::printf("check of 50 pages, 2500 links: first run %.0f ms, median of %zu after it %.0f ms\n",
              first * 1000, runs.size(), runs[runs.size() / 2] * 1000);
  return 0;
}
