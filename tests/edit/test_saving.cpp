// Saving on a real folder: identical bytes when nothing was edited, atomic replacement, and a file another
// program changed is never overwritten unasked.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <system_error>

#include "corpus.h"
#include "tools/edit/disc_file.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"
#include "tools/edit/posix/iconv_code_page.h"
#include "tools/edit/posix/posix_file_system.h"

namespace {

class Saving : public ::testing::Test {
 protected:
  TemporaryFolder folder;
  PosixFileSystem files;
  IconvCodePage codePage{"CP1252"};

  Text PathOf(const std::string& name) { return FromUtf8((folder.path() / name).string()); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(Saving, AFileSavedWithoutAnEditKeepsEveryByte) {
  const Corpus& corpus = RepositoryCorpus();
  for (const auto* list : {&corpus.menus, &corpus.kavos})
    for (const DiscText& file : *list) {
      WriteBytes(folder.path() / "file.inf", file.bytes);
      DiscFile disc(files, PathOf("file.inf"), codePage);
      EXPECT_FALSE(disc.Document().Modified());
      ASSERT_EQ(disc.Save(), SaveOutcome::Saved) << file.name;
      EXPECT_EQ(FileBytes(folder.path() / "file.inf"), file.bytes) << file.name;
    }
  EXPECT_EQ(Names(), std::vector<std::string>{"file.inf"}) << "no temporary file is left behind";
}

TEST_F(Saving, AnEditIsWrittenInPlaceKeepingThePermissions) {
  WriteBytes(folder.path() / "menu.inf", "0|0|Old|V|\r\n");
  chmod((folder.path() / "menu.inf").c_str(), 0640);
  DiscFile disc(files, PathOf("menu.inf"), codePage);
  MenuEditor(disc.Document()).SetField(0, MenuField::Caption, L"New");
  EXPECT_TRUE(disc.Document().Modified());
  ASSERT_EQ(disc.Save(), SaveOutcome::Saved);
  EXPECT_FALSE(disc.Document().Modified());
  EXPECT_EQ(FileBytes(folder.path() / "menu.inf"), "0|0|New|V|\r\n");
  struct stat info;
  ASSERT_EQ(stat((folder.path() / "menu.inf").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_FALSE(disc.ChangedOnDisk()) << "its own save is no change";
  EXPECT_EQ(Names(), std::vector<std::string>{"menu.inf"});
}

TEST_F(Saving, AFileChangedOnDiskIsOverwrittenOnlyWhenAskedTo) {
  struct Change {
    const char* name;
    std::function<void(const fs::path&)> apply;
    bool changed;
  };
  const Change changes[] = {
      {"rewritten, same size", [](const fs::path& p) { WriteBytes(p, "0|0|Abc|V|\r\n"); }, true},
      {"grown", [](const fs::path& p) { WriteBytes(p, "0|0|Old|V|\r\n1|0|x|V|\r\n"); }, true},
      {"deleted", [](const fs::path& p) { fs::remove(p); }, true},
      {"only touched",
       [](const fs::path& p) { fs::last_write_time(p, fs::last_write_time(p) + std::chrono::hours(1)); },
       false},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    const fs::path path = folder.path() / "menu.inf";
    WriteBytes(path, "0|0|Old|V|\r\n");
    DiscFile disc(files, PathOf("menu.inf"), codePage);
    MenuEditor(disc.Document()).SetField(0, MenuField::Caption, L"New");
    EXPECT_FALSE(disc.ChangedOnDisk());
    change.apply(path);
    const bool existed = fs::exists(path);
    const std::string onDisk = existed ? FileBytes(path) : "";
    EXPECT_EQ(disc.ChangedOnDisk(), change.changed);
    if (change.changed) {
      EXPECT_EQ(disc.Save(), SaveOutcome::ChangedOnDisk);
      EXPECT_EQ(fs::exists(path), existed);
      if (existed) {
        EXPECT_EQ(FileBytes(path), onDisk) << "left as the other program wrote it";
      }
      EXPECT_TRUE(disc.Document().Modified());
      EXPECT_EQ(disc.Save(true), SaveOutcome::Saved);
    } else {
      EXPECT_EQ(disc.Save(), SaveOutcome::Saved);
    }
    EXPECT_EQ(FileBytes(path), "0|0|New|V|\r\n");
    EXPECT_FALSE(disc.ChangedOnDisk());
  }
}

TEST_F(Saving, AMissingFileIsCreatedBySaving) {
  DiscFile disc(files, PathOf("kavo.inf"), codePage);
  EXPECT_FALSE(disc.ExistedWhenRead());
  KavoEditor(disc.Document()).SetFlags(false, false, true);
  ASSERT_EQ(disc.Save(), SaveOutcome::Saved);
  EXPECT_EQ(FileBytes(folder.path() / "kavo.inf"), "001\r\n");
}

TEST_F(Saving, AFailedWriteLeavesNothingBehind) {
  WriteBytes(folder.path() / "menu.inf", "0|0|Old|V|\r\n");
  DiscFile disc(files, PathOf("menu.inf"), codePage);
  fs::create_directory(folder.path() / "gone");
  DiscFile elsewhere(files, PathOf("gone/menu.inf"), codePage);
  fs::remove(folder.path() / "gone");
  MenuEditor(elsewhere.Document()).InsertLine(0, L"x");
  EXPECT_THROW(elsewhere.Save(), std::system_error);
  // A folder where the file should be: the rename fails, the temporary file goes.
  fs::remove(folder.path() / "menu.inf");
  fs::create_directory(folder.path() / "menu.inf");
  WriteBytes(folder.path() / "menu.inf" / "inside", "x");
  EXPECT_THROW(disc.Save(true), std::system_error);
  EXPECT_EQ(Names(), std::vector<std::string>{"menu.inf"});
}

}  // namespace
