// check over a disc whose kavo.inf and menu.inf an editor holds in memory: the given bytes are what the
// program reads, wherever and however the folder holds those names, and the folder is never written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "disc_folder.h"
#include "platform/headless/headless_platform.h"
#include "tools/author/check.h"

namespace {

const std::string kQuit = "0|0|Quit|Verdana|0012|16777215|65535|900|1800|6|\r\n";
const std::string kStops = "0|50|Quit|Verdana|0012|16777215|65535|900|1800|6|\r\n";

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Codes(const CheckResult& result) {
  std::string codes;
  for (const Finding& f : result.findings)
    codes += (codes.empty() ? "" : " ") + f.file + ":" + std::to_string(f.line) + ":" + f.code;
  return codes;
}

struct GivenCase {
  const char* what;
  std::function<void(const DiscFolder&)> make;
  GivenFiles given;
  std::string codes;  // what the check finds, file:line:code
};

TEST(GivenFiles, TheProgramReadsTheGivenBytesWhereverTheFolderHasTheName) {
  const GivenCase cases[] = {
      {"a broken menu.inf on the disc, mended in memory",
       [](const DiscFolder& d) { d.Write("menu.inf", kStops); },
       {{"menu.inf", kQuit}},
       ""},
      {"a sound menu.inf on the disc, broken in memory",
       [](const DiscFolder&) {},
       {{"menu.inf", kStops}},
       "menu.inf:1:page-stops"},
      {"no menu.inf on the disc yet",
       [](const DiscFolder& d) { d.Remove("menu.inf"); },
       {{"menu.inf", kQuit}},
       ""},
      {"the disc holds MENU.INF: the given bytes in its place, the case still said",
       [](const DiscFolder& d) { std::filesystem::rename(d.path() + "/menu.inf", d.path() + "/MENU.INF"); },
       {{"menu.inf", kStops}},
       "menu.inf:0:case-only menu.inf:1:page-stops"},
      {"a folder named kavo.inf on the disc",
       [](const DiscFolder& d) {
         d.Remove("kavo.inf");
         std::filesystem::create_directories(d.path() + "/kavo.inf/inside");
       },
       {{"KAVO.INF", "101\r\nimages\\splash.png\r\n\r\nimages\\menu.png\r\n\r\n\r\n"}, {"menu.inf", kQuit}},
       ""},
  };
  for (const GivenCase& c : cases) {
    DiscFolder disc;
    c.make(disc);
    std::map<std::string, std::string> before;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(disc.path()))
      if (entry.is_regular_file()) before[entry.path().string()] = Slurp(entry.path().string());

    CheckResult result = CheckDisc(disc.path(), c.given);
    EXPECT_EQ(Codes(result), c.codes) << c.what;

    std::map<std::string, std::string> after;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(disc.path()))
      if (entry.is_regular_file()) after[entry.path().string()] = Slurp(entry.path().string());
    EXPECT_EQ(after, before) << c.what << ": the folder changed";
  }
}

TEST(GivenFiles, WithoutGivenFilesTheFolderIsRead) {
  DiscFolder disc;
  disc.Write("menu.inf", kStops);
  EXPECT_EQ(Codes(CheckDisc(disc.path(), GivenFiles())), Codes(CheckDisc(disc.path())));
  EXPECT_NE(Codes(CheckDisc(disc.path())).find("page-stops"), std::string::npos);
}

// What the program and the walk of the disc see of a given file, beside the folder's own names.
TEST(GivenFiles, LookupsExistenceAndTheWalkSeeAGivenFileInItsPlace) {
  DiscFolder disc;
  disc.Remove("menu.inf");
  HeadlessPlatform machine(disc.path());
  EXPECT_FALSE(machine.FileExists(L"D:\\menu.inf"));
  machine.GiveFile(L"menu.inf", kQuit);
  EXPECT_TRUE(machine.FileExists(L"D:\\MENU.INF"));
  SimulatedMachine::Resolved found = machine.Resolve(L"D:\\Menu.Inf");
  EXPECT_EQ(found.status, LookupStatus::Found);
  EXPECT_FALSE(found.isFolder);
  EXPECT_EQ(machine.ReadHead(found, 6), kQuit.substr(0, 6));

  std::vector<std::string> root;
  for (const DiscWalkEntry& e : machine.Walk())
    if (e.relative.find('/') == std::string::npos) root.push_back(e.relative);
  EXPECT_EQ(root, (std::vector<std::string>{"autorun.inf", "docs", "images", "kavo.inf", "menu.inf", "sounds",
                                            "tools", "velmaro.exe"}));

  // Given over a folder of that name: a file, and nothing of the folder's contents is walked.
  disc.Remove("kavo.inf");
  std::filesystem::create_directories(disc.path() + "/kavo.inf/inside");
  HeadlessPlatform over(disc.path());
  over.GiveFile(L"kavo.inf", "101\r\n");
  for (const DiscWalkEntry& e : over.Walk()) {
    EXPECT_EQ(e.relative.rfind("kavo.inf/", 0), std::string::npos) << e.relative;
    if (e.relative == "kavo.inf") {
      EXPECT_EQ(e.kind, EntryKind::File);
    }
  }
  EXPECT_TRUE(over.FileExists(L"D:\\kavo.inf"));
}

}  // namespace
