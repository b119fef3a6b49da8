// Report benchmark: check's three formats written for results of 10^4 and 10^5 findings, each on its own
// line of menu.inf (the shape of a menu.inf of duplicate links), to show the time per finding stays the same
// as the count grows. Median of five runs each, into memory.
//
//   bench_report
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/author/report.h"

namespace {

CheckResult DuplicateLinks(long count) {
  CheckResult r;
  r.readable = true;
  r.startup = "shows the menu; launches nothing";
  for (long line = 1; line <= count; ++line) {
    r.sourceLines["menu.inf"][line] =
        "0|1|Dup " + std::to_string(line) + "|Verdana|0012|16777215|65535|900|1500|7|";
    r.findings.push_back(
        {"menu.inf",
         line,
         3,
         Severity::Warning,
         "duplicate-link",
         "link 1 of page 0 is set up again; this line replaces line " + std::to_string(line - 1),
         {{"menu.inf", line - 1, 3, "link 1 was set up here"}},
         ""});
  }
  return r;
}

double MedianSeconds(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::printf("%-8s %-6s %10s %14s %10s\n", "findings", "format", "median", "per finding", "output");
  for (long count : {10000L, 100000L}) {
    CheckResult result = DuplicateLinks(count);
    ReportOptions all;
    all.maxFindings = 0;
    struct Format {
      const char* name;
      std::function<void(std::ostream&)> write;
    } formats[] = {{"text", [&](std::ostream& o) { WriteText(o, result, "disc", all); }},
                   {"json", [&](std::ostream& o) { WriteJson(o, result, "disc"); }},
                   {"sarif", [&](std::ostream& o) { WriteSarif(o, result, "disc"); }}};
    for (const Format& f : formats) {
      std::size_t bytes = 0;
      double seconds = MedianSeconds([&] {
        std::ostringstream out;
        f.write(out);
        bytes = out.str().size();
      });
      std::printf("%-8ld %-6s %8.1f ms %11.2f us %7.1f MB\n", count, f.name, seconds * 1e3,
                  seconds * 1e6 / count, bytes / 1e6);
    }
  }
  return 0;
}
