// Checks one after another of one disc, as the designer runs them after every edit and every change on disk:
// each finds exactly what a fresh check of the disc as it then is finds, though captions and pictures are
// kept from the checks before.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "disc_folder.h"
#include "tools/author/check.h"
#include "tools/author/report.h"

namespace {

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Json(const CheckResult& result, const std::string& folder) {
  std::ostringstream out;
  WriteJson(out, Reported(result, {}), folder);
  return out.str();
}

struct Step {
  const char* what;
  // Changes the disc on disk, or the files given from memory.
  std::function<void(const DiscFolder&, GivenFiles&)> change;
  bool findingsChange;  // so that a check keeping too much would be seen
};

TEST(DiscChecker, EachCheckAfterAnotherFindsWhatAFreshCheckFinds) {
  DiscFolder disc;
  const std::string menuPicture = Slurp(disc.path() + "/images/menu.png");
  const std::string splashPicture = Slurp(disc.path() + "/images/splash.png");
  const std::string menu = Slurp(disc.path() + "/menu.inf");
  const Step steps[] = {
      {"the disc as written", [](const DiscFolder&, GivenFiles&) {}, false},
      {"a long caption added in memory, past the menu's right edge",
       [&](const DiscFolder&, GivenFiles& given) {
         given["menu.inf"] =
             menu + "0|9|A caption long enough to reach past the edge|Verdana|0012|0|255|7000|300|7|\r\n";
       },
       true},
      {"the caption shortened in memory",
       [&](const DiscFolder&, GivenFiles& given) {
         given["menu.inf"] = menu + "0|9|Short|Verdana|0012|0|255|7000|300|7|\r\n";
       },
       false},
      {"the menu picture replaced on disk by a smaller one",
       [&](const DiscFolder& d, GivenFiles&) { d.Write("images/menu.png", splashPicture); }, true},
      {"the menu picture broken on disk",
       [](const DiscFolder& d, GivenFiles&) { d.Write("images/menu.png", "PNG?"); }, true},
      {"the menu picture as it was",
       [&](const DiscFolder& d, GivenFiles&) { d.Write("images/menu.png", menuPicture); }, true},
      {"a sound that is no longer a wave",
       [](const DiscFolder& d, GivenFiles&) { d.Write("sounds/hello.wav", "RIFF"); }, true},
      {"the edits in memory dropped", [](const DiscFolder&, GivenFiles& given) { given.clear(); }, false},
  };
  DiscChecker checker;
  GivenFiles given;
  std::string before;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change(disc, given);
    std::string fresh = Json(CheckDisc(disc.path(), given), disc.path());
    EXPECT_EQ(Json(checker.Check(disc.path(), given), disc.path()), fresh);
    if (step.findingsChange) {
      EXPECT_NE(fresh, before);
    }
    before = fresh;
  }
}

}  // namespace
