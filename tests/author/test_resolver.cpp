// The resolver's rules on the two discs that use them: the tests' fake and a real folder for the tools. One
// table, so the two cannot drift; then folders that once made the tools hang, crash or read outside.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "disc_folder.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "platform/headless/headless_platform.h"
#include "tools/author/check.h"

namespace fs = std::filesystem;

namespace {

// A folder with a disc in "disc/" and bait beside it, removed at the end.
class Bait {
 public:
  Bait() {
    char name[] = "/tmp/velmaro-bait-XXXXXX";
    root_ = mkdtemp(name);
    fs::create_directories(disc());
    std::ofstream(root_ + "/outside.png") << "bait";
  }
  ~Bait() { fs::remove_all(root_); }
  Bait(const Bait&) = delete;
  Bait& operator=(const Bait&) = delete;
  std::string disc() const { return root_ + "/disc"; }
  void Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories((fs::path(disc()) / name).parent_path());
    std::ofstream(disc() + "/" + name, std::ios::binary) << bytes;
  }
  void Link(const std::string& name, const std::string& target) const {
    ASSERT_EQ(symlink(target.c_str(), (disc() + "/" + name).c_str()), 0) << name;
  }
  void Fifo(const std::string& name) const {
    ASSERT_EQ(mkfifo((disc() + "/" + name).c_str(), 0600), 0) << name;
  }

 private:
  std::string root_;
};

const char* const kNfd = "Cafe\xCC\x81.png";  // "Café.png" as a Mac writes it

struct Rule {
  const wchar_t* name;  // after "D:\"
  LookupStatus status;
  const wchar_t* found;  // the names the disc holds, as far as found
  bool caseDiffers = false;
  bool realFolderOnly = false;  // links inside and Unicode forms: the fake has neither
};

const Rule kRules[] = {
    {L"kavo.inf", LookupStatus::Found, L"kavo.inf"},
    {L"KAVO.INF", LookupStatus::Found, L"kavo.inf", true},
    {L"images\\menu.png", LookupStatus::Found, L"Images\\Menu.png", true},
    {L"Images/Menu.png", LookupStatus::Found, L"Images\\Menu.png"},
    {L"Images\\\\\\Menu.png", LookupStatus::Found, L"Images\\Menu.png"},
    {L".\\Images\\.\\Menu.png", LookupStatus::Found, L"Images\\Menu.png"},
    {L"Images\\..\\kavo.inf", LookupStatus::Found, L"kavo.inf"},
    {L"..\\..\\kavo.inf", LookupStatus::Found, L"kavo.inf"},
    {L"..\\..\\outside.png", LookupStatus::Missing, L""},
    {L"..\\disc\\kavo.inf", LookupStatus::Missing, L""},
    {L"\\\\docs\\guide.pdf", LookupStatus::Found, L"docs\\guide.pdf"},
    {L"/docs/guide.pdf", LookupStatus::Found, L"docs\\guide.pdf"},
    {L"docs. \\guide.pdf. ", LookupStatus::Found, L"docs\\guide.pdf"},
    {L"docs", LookupStatus::Found, L"docs"},
    {L"kavo.inf\\x", LookupStatus::Missing, L"kavo.inf"},
    {L"C:\\kavo.inf", LookupStatus::Refused, L""},
    {L"kavo.inf:stream", LookupStatus::Refused, L""},
    {L"kav?.inf", LookupStatus::Refused, L""},
    {L"docs\\nul.txt", LookupStatus::Refused, L""},
    {L"fifo.inf", LookupStatus::NotRegular, L"fifo.inf"},
    {L"out.png", LookupStatus::LinkOutside, L"out.png"},
    {L"dangling.png", LookupStatus::LinkBroken, L"dangling.png"},
    {L"loop\\loop\\kavo.inf", LookupStatus::Found, L"loop\\loop\\kavo.inf", false, true},
    {L"up\\outside.png", LookupStatus::LinkOutside, L"up", false, true},
    {L"root\\etc\\passwd", LookupStatus::LinkOutside, L"root", false, true},
    {L"ping", LookupStatus::LinkBroken, L"ping", false, true},
    {L"inner.png", LookupStatus::Found, L"inner.png", false, true},
    {L"inner.png\\x", LookupStatus::Missing, L"inner.png", false, true},
    {L"Caf\u00E9.png", LookupStatus::NormalisationOnly, L"Cafe\u0301.png", false, true},
};

struct Listed {
  const wchar_t* path;  // FileExists, as the program asks
  bool exists;
};

const Listed kListed[] = {
    {L"D:\\kavo.inf", true},      {L"d:\\KAVO.INF", true},  {L"D:\\docs\\", true},
    {L"D:\\docs", false},         {L"D:\\*.inf", true},     {L"D:\\docs/guide.pdf", true},
    {L"D:\\..\\kavo.inf", true},  {L"D:\\fifo.inf", false}, {L"D:\\out.png", false},
    {L"D:\\dangling.png", false}, {L"D:\\f*.inf", false},   {L"D:\\Images\\", true},
    {L"D:\\C:\\kavo.inf", false}, {L"D:\\empty\\", false},  {L"D:\\*\\kavo.inf", false},
};

void MakeRealDisc(const Bait& bait) {
  bait.Write("kavo.inf", "001\r\n");
  bait.Write("Images/Menu.png", "png");
  bait.Write("docs/guide.pdf", "%PDF");
  fs::create_directories(bait.disc() + "/empty");
  bait.Fifo("fifo.inf");
  bait.Link("out.png", "../outside.png");
  bait.Link("dangling.png", "nothing.png");
  bait.Link("loop", ".");
  bait.Link("up", "..");
  bait.Link("root", "/");
  bait.Link("ping", "pong");
  bait.Link("pong", "ping");
  bait.Link("inner.png", "Images/../Images/Menu.png");
  bait.Write(kNfd, "png");
}

void MakeFakeDisc(FakePlatform& fake) {
  fake.AddFile(L"D:\\kavo.inf", "001\r\n");
  fake.AddFile(L"D:\\Images\\Menu.png", "png");
  fake.AddFile(L"D:\\docs\\guide.pdf", "%PDF");
  fake.AddFolder(L"D:\\empty");
  for (auto [name, kind] :
       {std::pair{L"D:\\fifo.inf", EntryKind::Special}, std::pair{L"D:\\out.png", EntryKind::LinkOutside},
        std::pair{L"D:\\dangling.png", EntryKind::LinkBroken}}) {
    FakeFile entry;
    entry.kind = kind;
    fake.AddFile(name, "", entry);
  }
}

TEST(Resolver, TheFakeAndARealFolderFollowTheSameRules) {
  Bait bait;
  MakeRealDisc(bait);
  {
    HeadlessPlatform real(bait.disc());
    for (const Rule& rule : kRules) {
      HeadlessPlatform::Resolved r = real.Resolve(Text(L"D:\\") + rule.name);
      std::string name = "real folder: " + ToUtf8(rule.name);
      EXPECT_EQ(static_cast<int>(r.status), static_cast<int>(rule.status)) << name;
      EXPECT_EQ(ToUtf8(r.found), ToUtf8(rule.found)) << name;
      EXPECT_EQ(r.caseDiffers, rule.caseDiffers) << name;
      EXPECT_EQ(r.path.empty(), rule.status != LookupStatus::Found) << name;
    }
    for (const Listed& l : kListed)
      EXPECT_EQ(real.FileExists(l.path), l.exists) << "real folder: " << ToUtf8(l.path);
    // A link inside leads to the file itself, which is what gets opened.
    EXPECT_EQ(real.Resolve(L"D:\\inner.png").path, bait.disc() + "/Images/Menu.png");
    EXPECT_EQ(real.Resolve(L"D:\\loop\\loop\\kavo.inf").path, bait.disc() + "/kavo.inf");
  }
  FakePlatform fake;
  MakeFakeDisc(fake);
  for (const Rule& rule : kRules) {
    if (rule.realFolderOnly) continue;
    DiscLookup r = fake.LookUp(Text(L"D:\\") + rule.name);
    std::string name = "fake: " + ToUtf8(rule.name);
    EXPECT_EQ(static_cast<int>(r.status), static_cast<int>(rule.status)) << name;
    EXPECT_EQ(ToUtf8(r.shown), ToUtf8(rule.found)) << name;
    EXPECT_EQ(r.caseDiffers, rule.caseDiffers) << name;
  }
  for (const Listed& l : kListed)
    EXPECT_EQ(fake.FileExists(l.path), l.exists) << "fake: " << ToUtf8(l.path);
}

TEST(Resolver, TheProgramOpensWhatTheResolverFinds) {
  FakePlatform fake;
  MakeFakeDisc(fake);
  fake.AddFile(L"D:\\menu.inf", "0|0|Quit|Verdana|0012|0|255|0|0|6|\r\n");
  for (const wchar_t* opened :
       {L"D:\\menu.inf", L"D:\\MENU.INF", L"D:\\docs\\..\\menu.inf", L"D:\\/menu.inf. "}) {
    fake.OpenTextFile(opened);
    char first = 0;
    EXPECT_EQ(fake.ReadTextBytes(&first, 1), 1u) << ToUtf8(opened);
  }
  for (const wchar_t* refused : {L"D:\\fifo.inf", L"D:\\out.png", L"D:\\docs", L"D:\\C:\\menu.inf"})
    EXPECT_THROW(fake.OpenTextFile(refused), AppError) << ToUtf8(refused);
}

// The walk lists each folder once, however links loop back to it, and never follows one out.
TEST(Resolver, TheWalkStaysInsideAndEnds) {
  Bait bait;
  MakeRealDisc(bait);
  HeadlessPlatform real(bait.disc());
  std::map<std::string, EntryKind> kinds;
  for (const HostDisc::WalkEntry& e : real.Walk())
    kinds[e.relative] = e.kind;
  EXPECT_EQ(kinds.size(), 16u);
  EXPECT_EQ(kinds["Images/Menu.png"], EntryKind::File);
  EXPECT_EQ(kinds["loop"], EntryKind::Folder);
  EXPECT_EQ(kinds["up"], EntryKind::LinkOutside);
  EXPECT_EQ(kinds["root"], EntryKind::LinkOutside);
  EXPECT_EQ(kinds["ping"], EntryKind::LinkBroken);
  EXPECT_EQ(kinds["fifo.inf"], EntryKind::Special);
  EXPECT_EQ(kinds.count("loop/kavo.inf"), 0u);
}

// Runs the tool on a disc and says how it ended: its exit code, or "signal N", or "hung".
std::string RunTool(const std::string& command, const std::string& disc, const std::string& extra = "") {
  std::string line = "timeout -s KILL 20 " VELMARO_AUTHOR " " + command + " '" + disc + "' " + extra +
                     " >/dev/null 2>&1 </dev/null";
  int status = std::system(line.c_str());
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  int code = WEXITSTATUS(status);
  if (code == 137 || code == 124) return "hung";
  if (code > 128) return "signal " + std::to_string(code - 128);
  return std::to_string(code);
}

struct Hostile {
  const char* what;
  std::function<void(const DiscFolder&, const std::string& outside)> make;
};

void Replace(const DiscFolder& d,
             const std::string& name,
             const std::function<void(const std::string&)>& make) {
  fs::remove_all(fs::path(d.path()) / name);
  make(d.path() + "/" + name);
}

const Hostile kHostile[] = {
    {"a FIFO as menu.inf",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "menu.inf", [](const std::string& p) { mkfifo(p.c_str(), 0600); });
     }},
    {"a FIFO as kavo.inf",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "kavo.inf", [](const std::string& p) { mkfifo(p.c_str(), 0600); });
     }},
    {"a FIFO as the menu picture and as a sound",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "images/menu.png", [](const std::string& p) { mkfifo(p.c_str(), 0600); });
       Replace(d, "sounds/over.wav", [](const std::string& p) { mkfifo(p.c_str(), 0600); });
     }},
    {"menu.inf linked to /dev/zero",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "menu.inf", [](const std::string& p) { (void)symlink("/dev/zero", p.c_str()); });
     }},
    {"a folder named menu.inf",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "menu.inf", [](const std::string& p) { fs::create_directories(p + "/x"); });
     }},
    {"a dangling link as the splash picture",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "images/splash.png", [](const std::string& p) { (void)symlink("gone.png", p.c_str()); });
     }},
    {"links to . and ..",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "a", [](const std::string& p) { (void)symlink(".", p.c_str()); });
       Replace(d, "images/b", [](const std::string& p) { (void)symlink("..", p.c_str()); });
       Replace(d, "images/c", [](const std::string& p) { (void)symlink("../..", p.c_str()); });
     }},
    {"a link to /",
     [](const DiscFolder& d, const std::string&) {
       Replace(d, "everything", [](const std::string& p) { (void)symlink("/", p.c_str()); });
     }},
    {"the menu picture linked to a picture outside",
     [](const DiscFolder& d, const std::string& outside) {
       Replace(d, "images/menu.png",
               [&](const std::string& p) { (void)symlink(outside.c_str(), p.c_str()); });
     }},
};

TEST(Resolver, HostileFoldersEndWithoutACrash) {
  for (const Hostile& h : kHostile) {
    DiscFolder disc;
    std::string outside = disc.path() + "-outside.png";
    fs::copy_file(disc.path() + "/images/menu.png", outside);
    h.make(disc, outside);
    // What a link out of the folder points at is no part of the disc.
    CheckResult result = CheckDisc(disc.path());
    EXPECT_TRUE(result.readable) << h.what;
    std::string check = RunTool("check", disc.path());
    EXPECT_TRUE(check == "0" || check == "1") << h.what << ": check ended with " << check;
    std::string out = disc.path() + "-preview";
    EXPECT_EQ(RunTool("preview", disc.path(), "--out '" + out + "'"), "0") << h.what;
    fs::remove_all(out);
    fs::remove(outside);
  }
}

TEST(Resolver, WhatLiesOutsideIsNoPartOfTheDisc) {
  DiscFolder disc;
  std::string outside = disc.path() + "-outside.png";
  fs::copy_file(disc.path() + "/images/menu.png", outside);
  disc.Remove("images/menu.png");
  ASSERT_EQ(symlink(outside.c_str(), (disc.path() + "/images/menu.png").c_str()), 0);
  disc.Lines("kavo.inf",
             {"101", "..\\..\\..\\" + fs::path(outside).filename().string(), "", "images\\menu.png", "", ""});
  CheckResult result = CheckDisc(disc.path());
  fs::remove(outside);
  std::vector<std::string> missing;
  for (const Finding& f : result.findings)
    if (f.code == "file-missing") missing.push_back(std::to_string(f.line));
  EXPECT_EQ(missing, (std::vector<std::string>{"2", "4"}));
}

}  // namespace
