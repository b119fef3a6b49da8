// The designer's live re-check: on a 50-page menu of 2,500 links (large_disc.h), a link moved by
// one pixel through the editing model, then the check over the disc with the edited files given from
// memory, as the designer runs it after every edit, with what it keeps from the check before. Prints the
// median of the runs after a first one, and of the same check with nothing kept.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/large_disc.h"
#include "platform/numbers.h"
#include "tools/author/check.h"
#include "tools/design/disc_session.h"
#include "tools/design/link_lines.h"
#include "tools/design/link_move.h"
#include "tools/edit/posix/iconv_code_page.h"
#include "tools/edit/posix/posix_file_system.h"

int main(int argc, char** argv) {
  std::string disc = argc > 1 ? argv[1] : "build/bench/data/recheck-disc";
  std::string error;
  if (!WriteLargeDisc(disc, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  SetDecimalSeparator(L'.');
  PosixFileSystem files;
  IconvCodePage codePage("CP1252");
  DiscSession session(files, codePage, FromUtf8(disc + "/"));
  DiscChecker checker;  // the designer's, kept from check to check
  std::vector<double> runs;
  for (int i = 0; i < 16; ++i) {
    auto start = std::chrono::steady_clock::now();
    // Link 7 of page 20 one pixel to the right, then the check with both files as edited.
    TextDocument& document = session.Document(ConfigFile::Menu);
    std::size_t line = PageLines(document, 20).LineOf(7);
    TwipPoint to{300 + 15 * (i + 1), 100 + 7 * 240};
    session.Edit(ConfigFile::Menu, [&](TextDocument& d) { WriteLinkPosition(d, line, to); });
    GivenFiles given{{"menu.inf", document.Bytes()},
                     {"kavo.inf", session.Document(ConfigFile::Kavo).Bytes()}};
    CheckResult result = checker.Check(disc, given);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (result.Count(Severity::Error) != 0) std::fprintf(stderr, "the benchmark disc has errors\n");
    if (i > 0) runs.push_back(ms);
    if (i == 0) std::printf("first re-check %.0f ms\n", ms);
  }
  std::sort(runs.begin(), runs.end());
  std::printf("re-check after an edit of 50 pages, 2500 links: median of %zu %.1f ms (min %.1f, max %.1f)\n",
              runs.size(), runs[runs.size() / 2], runs.front(), runs.back());
  // The same check by a fresh checker, as before anything was kept, in the same minute.
  GivenFiles given{{"menu.inf", session.Document(ConfigFile::Menu).Bytes()},
                   {"kavo.inf", session.Document(ConfigFile::Kavo).Bytes()}};
  std::vector<double> fresh;
  for (int i = 0; i < 7; ++i) {
    auto start = std::chrono::steady_clock::now();
    CheckDisc(disc, given);
    fresh.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(fresh.begin(), fresh.end());
  std::printf("the same check, nothing kept: median of %zu %.1f ms\n", fresh.size(), fresh[fresh.size() / 2]);
  return 0;
}
