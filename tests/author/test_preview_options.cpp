// preview's arguments read the same on Linux and Windows: what each asks for, and each mistake's exit status
// and message; the action text of the overlay; the DPI a picture too large for a preview is drawn at.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/units.h"
#include "tools/author/preview_options.h"
#include "tools/author/preview_pages.h"

namespace {

struct Parsed {
  bool runs = false;
  int status = -1;
  PreviewOptions options;
  std::string out, err;
};

Parsed Parse(const std::vector<std::string>& args) {
  Parsed p;
  std::ostringstream out, err;
  std::optional<int> status = ParsePreviewArgs(args, &p.options, out, err);
  p.runs = !status;
  p.status = status.value_or(-1);
  p.out = out.str();
  p.err = err.str();
  return p;
}

TEST(PreviewOptions, EachMistakeExitsTwoSayingWhatWithTheUsageLine) {
  const struct {
    std::vector<std::string> args;
    std::string problem;
  } cases[] = {
      {{}, "which disc folder?"},
      {{"--overlay"}, "which disc folder?"},
      {{"--out", "x"}, "which disc folder?"},
      // An option without its value is an unexpected word, not a folder.
      {{"disc", "--out"}, "unexpected --out"},
      {{"disc", "--page"}, "unexpected --page"},
      {{"disc", "--dpi"}, "unexpected --dpi"},
      {{"disc", "--bogus"}, "unexpected --bogus"},
      {{"--bogus", "disc"}, "unexpected --bogus"},
      {{"disc", "other"}, "unexpected other"},
      {{"disc", "--page", ""}, "--page takes a page number"},
      {{"disc", "--page", "1.5"}, "--page takes a page number"},
      {{"disc", "--page", "2x"}, "--page takes a page number"},
      {{"disc", "--page", "32768"}, "--page takes a page number"},
      {{"disc", "--page", "-32769"}, "--page takes a page number"},
      {{"disc", "--page", "99999999999999999999"}, "--page takes a page number"},
      {{"disc", "--dpi", "47"}, "--dpi takes dots per inch, 48 to 960"},
      {{"disc", "--dpi", "961"}, "--dpi takes dots per inch, 48 to 960"},
      {{"disc", "--dpi", "-96"}, "--dpi takes dots per inch, 48 to 960"},
      {{"disc", "--dpi", "96 "}, "--dpi takes dots per inch, 48 to 960"},
      // A bad value stops the reading: what follows is never looked at.
      {{"disc", "--dpi", "0", "--bogus"}, "--dpi takes dots per inch, 48 to 960"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& a : c.args)
      shown += "[" + a + "]";
    SCOPED_TRACE(shown);
    Parsed p = Parse(c.args);
    EXPECT_FALSE(p.runs);
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, "velmaro-author: preview: " + c.problem +
                         "\nusage: velmaro-author preview DISC [--out DIR] [--page N] [--dpi D] [--overlay]\n"
                         "velmaro-author preview --help says more\n");
  }
}

TEST(PreviewOptions, HelpAnywhereWinsOverMistakesAndPrintsTheWholeUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"disc", "--dpi", "5", "--help"}, {"--bogus", "-h"}, {"--out", "--help"}}) {
    Parsed p = Parse(args);
    EXPECT_FALSE(p.runs);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(p.out.rfind("usage: velmaro-author preview DISC", 0), 0u) << p.out;
    EXPECT_NE(p.out.find("  --overlay    "), std::string::npos);
  }
}

TEST(PreviewOptions, WhatARunAsksFor) {
  const struct {
    std::vector<std::string> args;
    std::string folder, out;
    bool onePage;
    int page;
    unsigned dpi;
    bool overlay;
  } cases[] = {
      {{"disc"}, "disc", "", false, 0, 96, false},
      {{"--dpi", "48", "disc"}, "disc", "", false, 0, 48, false},
      {{"disc", "--dpi", "960", "--overlay"}, "disc", "", false, 0, 960, true},
      {{"disc", "--page", "-32768"}, "disc", "", true, -32768, 96, false},
      {{"disc", "--page", "+7"}, "disc", "", true, 7, 96, false},
      {{"disc", "--page", "0"}, "disc", "", true, 0, 96, false},
      // The value of --out is taken as it stands, even one that looks like an option; the last one counts.
      {{"disc", "--out", "--overlay"}, "disc", "--overlay", false, 0, 96, false},
      {{"--out", "a", "disc", "--out", "b"}, "disc", "b", false, 0, 96, false},
      {{"-", "--dpi", "144"}, "-", "", false, 0, 144, false},
  };
  for (const auto& c : cases) {
    Parsed p = Parse(c.args);
    SCOPED_TRACE(c.folder + " " + c.out);
    ASSERT_TRUE(p.runs) << p.err;
    EXPECT_EQ(p.out + p.err, "");
    EXPECT_EQ(p.options.folder, c.folder);
    EXPECT_EQ(p.options.out, c.out);
    EXPECT_EQ(p.options.onePage, c.onePage);
    EXPECT_EQ(p.options.page, c.page);
    EXPECT_EQ(p.options.dpi, c.dpi);
    EXPECT_EQ(p.options.overlay, c.overlay);
  }
}

TEST(PreviewActionText, TheNumberItsNameAndTheArgumentWithoutTheClosingBar) {
  const struct {
    Text stored;
    std::string shown;
  } cases[] = {
      {L"3|docs\\readme.txt|", "3 document docs\\readme.txt"},
      {L"0|setup.exe -s", "0 launch setup.exe -s"},
      {L"6|", "6 quit"},
      {L"8|sounds\\a.wav|", "8 sound sounds\\a.wav"},
      {L"9|x|", "9 x"},         // no such action: the number alone
      {L"04|x|", "04 x"},       // not the action 4 to an author reading the file
      {L"5|1||", "5 page 1|"},  // only one closing bar is the line's
      {L"", ""},
      {L"\u0436|\u00e9|", "\xd0\xb6 \xc3\xa9"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ActionText(c.stored), c.shown) << ToUtf8(c.stored);
}

TEST(PreviewFittingDpi, TheHighestDpiAtWhichThePictureFitsAndNoneWhenNoneDoes) {
  const TwipSize sizes[] = {{5415, 3615},       {491505, 15},    {491520, 15},   {15, 600000},
                            {1000000, 1000000}, {4915200, 1500}, {491520000, 15}};
  for (TwipSize size : sizes) {
    for (unsigned asked : {48u, 96u, 144u, 960u}) {
      unsigned dpi = FittingDpi(size, asked);
      SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) + " at " +
                   std::to_string(asked));
      ASSERT_LE(dpi, asked);
      auto fits = [&](unsigned d) {
        return TwipsToPixels(size.width, d) <= kLargestPreviewSide &&
               TwipsToPixels(size.height, d) <= kLargestPreviewSide;
      };
      if (dpi > 0) {
        EXPECT_TRUE(fits(dpi));
      }
      // The highest that fits: 491505 twips asked at 144 DPI is drawn at 96, not 95.
      if (dpi < asked) {
        EXPECT_FALSE(fits(dpi + 1));
      }
    }
  }
  EXPECT_EQ(FittingDpi({5415, 3615}, 960), 960u);
  EXPECT_EQ(FittingDpi({491505, 15}, 144), 96u);
  EXPECT_EQ(FittingDpi({491520000, 15}, 96), 0u);
}

}  // namespace
