// check reaches its verdicts through the program's logic on real files; the unit tests run the same logic
// on the fake disc. For every menu file we keep as a fixture, both must agree on what each page shows and
// whether it lights up: a difference is a fault of one of the two platforms.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "disc_folder.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "tools/author/check.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Menu files: the fuzz seeds, and those the end-to-end cases write (when they have been written out).
std::vector<fs::path> MenuFixtures() {
  std::vector<fs::path> files;
  for (const char* folder :
       {VELMARO_SOURCE_DIR "/tests/fuzz/corpus/menu", VELMARO_SOURCE_DIR "/build/e2e-menus"}) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  files.push_back(VELMARO_SOURCE_DIR "/disc/menu.inf");
  std::sort(files.begin(), files.end());
  return files;
}

PageVerdict OnTheFake(const std::string& menu, int page) {
  FakePlatform fake;
  fake.AddPicture(L"D:\\images\\menu.png", 640, 480);
  fake.AddFile(L"D:\\kavo.inf", "001\r\n\r\n\r\nimages\\menu.png\r\n");
  fake.AddFile(L"D:\\menu.inf", menu);
  fake.Start();
  try {
    LoadMenuPage(static_cast<int16_t>(page));
  } catch (const AppError&) {
  }
  PageVerdict verdict;
  for (int i = 0; i < kLinkCount; ++i)
    if (lblLink(i).Visible()) verdict.links.push_back(i);
  verdict.lightsUp = menuReady;
  return verdict;
}

TEST(Differential, CheckAndTheProgramAgreeOnEveryPageOfEveryFixture) {
  std::vector<fs::path> fixtures = MenuFixtures();
  ASSERT_GT(fixtures.size(), 10u);
  int pages = 0;
  for (const fs::path& file : fixtures) {
    DiscFolder disc;
    std::string menu = Bytes(file);
    disc.Write("menu.inf", menu);
    CheckResult result = CheckDisc(disc.path());
    ASSERT_TRUE(result.pages.count(0)) << file;
    for (const auto& [page, said] : result.pages) {
      PageVerdict done = OnTheFake(menu, page);
      EXPECT_EQ(said.links, done.links) << file << " page " << page;
      EXPECT_EQ(said.lightsUp, done.lightsUp) << file << " page " << page;
      ++pages;
    }
  }
  EXPECT_GT(pages, static_cast<int>(fixtures.size()));
}

}  // namespace
