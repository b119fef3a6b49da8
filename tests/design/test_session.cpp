// A disc open in the designer, on a real folder: one undo across both files, saving only what changed,
// and files another program changed.
#include <gtest/gtest.h>

#include "corpus.h"
#include "tools/design/disc_session.h"
#include "tools/edit/edit_error.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"
#include "tools/edit/posix/iconv_code_page.h"
#include "tools/edit/posix/posix_file_system.h"

namespace {

const char kMenu[] = "0|0|Go|V|0010|0|255|240|300|6|\r\n";
const char kKavo[] = "001\r\n\r\n\r\nmenu.bmp\r\n\r\n\r\n";

class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(folder.path() / "menu.inf", kMenu);
    WriteBytes(folder.path() / "kavo.inf", kKavo);
    session = std::make_unique<DiscSession>(files, codePage, FromUtf8(folder.path().string() + "/"));
  }
  std::string OnDisk(const char* name) { return FileBytes(folder.path() / name); }
  void SetCaption(const Text& caption) {
    session->Edit(ConfigFile::Menu,
                  [&](TextDocument& d) { MenuEditor(d).SetField(0, MenuField::Caption, caption); });
  }

  TemporaryFolder folder;
  PosixFileSystem files;
  IconvCodePage codePage{"CP1252"};
  std::unique_ptr<DiscSession> session;
};

TEST_F(Session, UndoGoesBackAcrossBothFilesInTheOrderOfTheEdits) {
  SetCaption(L"One");
  session->Edit(ConfigFile::Kavo, [](TextDocument& d) { KavoEditor(d).SetFlags(true, false, true); });
  SetCaption(L"Two");
  EXPECT_EQ(session->Undo(), ConfigFile::Menu);
  EXPECT_EQ(session->Undo(), ConfigFile::Kavo);
  EXPECT_EQ(session->Document(ConfigFile::Kavo).Bytes(), kKavo);
  EXPECT_EQ(session->Redo(), ConfigFile::Kavo);
  SetCaption(L"Three");
  EXPECT_FALSE(session->CanRedo()) << "a new edit drops what could be redone";
  EXPECT_EQ(session->Undo(), ConfigFile::Menu);
  EXPECT_EQ(session->Undo(), ConfigFile::Kavo);
  EXPECT_EQ(session->Undo(), ConfigFile::Menu);
  EXPECT_FALSE(session->CanUndo());
  EXPECT_EQ(session->Document(ConfigFile::Menu).Bytes(), kMenu);
  EXPECT_FALSE(session->Modified());
}

TEST_F(Session, AnEditThatChangesNothingIsNoStep) {
  SetCaption(L"Go");
  EXPECT_FALSE(session->CanUndo());
  EXPECT_THROW(SetCaption(L"a|b"), EditError);
  EXPECT_FALSE(session->CanUndo());
}

TEST_F(Session, SavingWritesOnlyTheFilesEditedAndAsksAboutChangesOnDisk) {
  SetCaption(L"Saved");
  // Another program rewrites kavo.inf, which the designer has not edited: saving leaves it alone.
  WriteBytes(folder.path() / "kavo.inf", "101\r\n");
  EXPECT_TRUE(session->Save().empty());
  EXPECT_EQ(OnDisk("menu.inf"), "0|0|Saved|V|0010|0|255|240|300|6|\r\n");
  EXPECT_EQ(OnDisk("kavo.inf"), "101\r\n");
  EXPECT_EQ(session->ChangedOnDisk(), std::vector<ConfigFile>{ConfigFile::Kavo});
  session->Reload(ConfigFile::Kavo);
  EXPECT_TRUE(session->ChangedOnDisk().empty());

  // Now menu.inf changes on disk under an edit: not written until the author says so.
  SetCaption(L"Mine");
  WriteBytes(folder.path() / "menu.inf", "0|0|Theirs|V|0010|0|255|240|300|6|\r\n");
  EXPECT_EQ(session->Save(), std::vector<ConfigFile>{ConfigFile::Menu});
  EXPECT_EQ(OnDisk("menu.inf"), "0|0|Theirs|V|0010|0|255|240|300|6|\r\n");
  EXPECT_TRUE(session->Save(true).empty());
  EXPECT_EQ(OnDisk("menu.inf"), "0|0|Mine|V|0010|0|255|240|300|6|\r\n");
}

TEST_F(Session, ReloadingAFileDropsItsStepsOnly) {
  SetCaption(L"One");
  session->Edit(ConfigFile::Kavo, [](TextDocument& d) { KavoEditor(d).SetFlags(true, false, true); });
  WriteBytes(folder.path() / "menu.inf", "0|0|Theirs|V|0010|0|255|240|300|6|\r\n");
  session->Reload(ConfigFile::Menu);
  EXPECT_EQ(session->Undo(), ConfigFile::Kavo);
  EXPECT_FALSE(session->CanUndo());
  EXPECT_EQ(session->Document(ConfigFile::Menu).Bytes(), "0|0|Theirs|V|0010|0|255|240|300|6|\r\n");
}

}  // namespace
