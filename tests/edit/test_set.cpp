// velmaro-author set on a copy of the sample disc: the edits named, and not a byte more.
#include <gtest/gtest.h>

#include <sstream>

#include "corpus.h"
#include "tools/edit/posix/iconv_code_page.h"
#include "tools/edit/posix/posix_file_system.h"
#include "tools/edit/set_command.h"

namespace {

// set as the Linux tool runs it: real files, iconv's code pages, CP1252 unless another is named.
int Set(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  PosixFileSystem files;
  auto codePage = [](const std::string& name) -> std::unique_ptr<AnsiCodePage> {
    try {
      return std::make_unique<IconvCodePage>(name);
    } catch (const std::invalid_argument&) {
      return nullptr;
    }
  };
  return SetCommand(args, SetSystem{files, codePage, "CP1252"}, out, err);
}

struct SetCase {
  const char* name;
  std::vector<std::string> edits;
  int exitCode;
  std::string menuBefore, menuAfter;  // replaced in the sample's menu.inf (empty: unchanged)
  std::string kavoAfter = "";         // the whole kavo.inf after (empty: unchanged)
};

const std::string kFirst = "0|0|Read me first|Verdana|1012|16777215|65535|600|1425|3|docs\\readme.txt|\r\n";
const std::string kSecond = "0|1|View the guide|Verdana|0012|16777215|65535|600|1905|0|docs\\guide.txt|\r\n";

TEST(SetCommand, EditsTheDiscFromAScript) {
  const SetCase cases[] = {
      {"fields of a line",
       {"menu.inf:1", "caption=Install", "left=900"},
       0,
       kFirst,
       "0|0|Install|Verdana|1012|16777215|65535|900|1425|3|docs\\readme.txt|\r\n"},
      {"lines", {"menu.inf:2", "duplicate", "menu.inf:1", "delete"}, 0, kFirst + kSecond, kSecond + kSecond},
      {"a line inserted", {"menu.inf:0", "insert", "9|0|x|V|"}, 0, kFirst, "9|0|x|V|\r\n" + kFirst},
      {"kavo.inf lines",
       {"kavo.inf", "flags=001", "hover="},
       0,
       "",
       "",
       "001\r\nimages\\splash.png\r\ndocs\\guide.txt\r\nimages\\menu.png\r\nsounds\\intro.wav\r\n\r\n"},
      {"the file name in other letters",
       {"MENU.INF:1", "top=1"},
       0,
       kFirst,
       "0|0|Read me first|Verdana|1012|16777215|65535|600|1|3|docs\\readme.txt|\r\n"},
      {"one refused edit saves nothing", {"menu.inf:1", "caption=ok", "menu.inf:1", "font=a|b"}, 1, "", ""},
      {"a field the line lacks",
       {"menu.inf:3", "argument=x", "page=1"},
       0,
       "0|2|Browse the disc|Verdana|0012|16777215|65535|600|2385|4|\r\n",
       "1|2|Browse the disc|Verdana|0012|16777215|65535|600|2385|4|x|\r\n"},
      {"no such field", {"menu.inf:1", "colour=1", "size=2"}, 2, "", ""},
      {"no such line", {"menu.inf:99", "caption=x"}, 1, "", ""},
      {"line zero", {"menu.inf:0", "caption=x"}, 2, "", ""},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryFolder disc;
    fs::copy(VELMARO_SOURCE_DIR "/disc", disc.path(), fs::copy_options::recursive);
    const std::string menu = FileBytes(disc.path() / "menu.inf"), kavo = FileBytes(disc.path() / "kavo.inf");
    std::vector<std::string> args = {disc.path().string()};
    args.insert(args.end(), c.edits.begin(), c.edits.end());
    std::ostringstream out, err;
    EXPECT_EQ(Set(args, out, err), c.exitCode) << err.str();
    std::string expectedMenu = menu;
    if (!c.menuBefore.empty()) {
      ASSERT_NE(menu.find(c.menuBefore), std::string::npos);
      expectedMenu.replace(menu.find(c.menuBefore), c.menuBefore.size(), c.menuAfter);
    }
    EXPECT_EQ(FileBytes(disc.path() / "menu.inf"), expectedMenu);
    EXPECT_EQ(FileBytes(disc.path() / "kavo.inf"), c.kavoAfter.empty() ? kavo : c.kavoAfter);
  }
}

TEST(SetCommand, AnAnsiFileBecomesUtf8OnlyWhenAllowed) {
  TemporaryFolder disc;
  const std::string menu = "0|0|Caf\xE9|Verdana|1012|16777215|65535|600|1425|7|\r\n";
  WriteBytes(disc.path() / "menu.inf", menu);
  std::ostringstream out, err;
  const std::vector<std::string> edit = {disc.path().string(), "menu.inf:1",
                                         "caption=\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA"};
  EXPECT_EQ(Set(edit, out, err), 1);
  EXPECT_NE(err.str().find("CP1252"), std::string::npos) << err.str();
  EXPECT_EQ(FileBytes(disc.path() / "menu.inf"), menu);
  std::vector<std::string> allowed = edit;
  allowed.push_back("--utf8");
  EXPECT_EQ(Set(allowed, out, err), 0) << err.str();
  EXPECT_EQ(FileBytes(disc.path() / "menu.inf"),
            "\xEF\xBB\xBF"
            "0|0|\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA|Verdana|1012|16777215|65535|600|1425|7|\r\n");
}

}  // namespace
