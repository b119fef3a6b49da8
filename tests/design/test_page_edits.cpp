// Whole links and pages: what each edit writes, that it is one step of undo, and that every other byte stays.
#include <gtest/gtest.h>

#include "platform/numbers.h"
#include "tools/design/link_lines.h"
#include "tools/design/page_edits.h"
#include "tools/edit/posix/iconv_code_page.h"

namespace {

const std::string kMenu =
    "0|0|Start|V|1012|16777215|65535|600|600|7|\r\n"
    "1|0|Second|V|0012|255|65535|600|600|6|\r\n"
    "\r\n"
    "0|2|Docs|V|0012|16777215|65535|600|1200|3|docs\\a.txt|trailing|\r\n";

class PageEdits : public ::testing::Test {
 protected:
  void SetUp() override { SetDecimalSeparator(L'.'); }
  IconvCodePage codePage{"CP1252"};
};

TEST_F(PageEdits, EachEditWritesItsLinesAndUndoesInOneStep) {
  struct Case {
    const char* name;
    std::function<int(TextDocument&)> edit;
    int result;
    std::string after;
  };
  const Case cases[] = {
      {"a link takes the first free index, after its page's last line",
       [](TextDocument& m) {
         return AddLink(m, 0, TwipPoint{900, 1800});
       },
       1, kMenu + "0|1|New link|Verdana|0012|16777215|65535|900|1800|7|\r\n"},
      {"a link of another page goes after that page's lines",
       [](TextDocument& m) {
         return AddLink(m, 1, TwipPoint{15, 30});
       },
       1,
       "0|0|Start|V|1012|16777215|65535|600|600|7|\r\n"
       "1|0|Second|V|0012|255|65535|600|600|6|\r\n"
       "1|1|New link|Verdana|0012|16777215|65535|15|30|7|\r\n"
       "\r\n"
       "0|2|Docs|V|0012|16777215|65535|600|1200|3|docs\\a.txt|trailing|\r\n"},
      {"a copy keeps every byte but its index and place",
       [](TextDocument& m) {
         return DuplicateLink(m, 3, 0, TwipPoint{900, 1500});
       },
       1, kMenu + "0|1|Docs|V|0012|16777215|65535|900|1500|3|docs\\a.txt|trailing|\r\n"},
      {"a deletion takes the line and its line end",
       [](TextDocument& m) {
         DeleteLink(m, 1);
         return 0;
       },
       0,
       "0|0|Start|V|1012|16777215|65535|600|600|7|\r\n"
       "\r\n"
       "0|2|Docs|V|0012|16777215|65535|600|1200|3|docs\\a.txt|trailing|\r\n"},
      {"a new page follows the last", [](TextDocument& m) { return AddPage(m); }, 2,
       kMenu + "2|0|Page 2|Verdana|0012|16777215|65535|600|600|7|\r\n"},
      {"a copied page has every line of the page", [](TextDocument& m) { return DuplicatePage(m, 0); }, 2,
       kMenu + "2|0|Start|V|1012|16777215|65535|600|600|7|\r\n" +
           "2|2|Docs|V|0012|16777215|65535|600|1200|3|docs\\a.txt|trailing|\r\n"},
      {"a deleted page loses all its lines and nothing else",
       [](TextDocument& m) { return static_cast<int>(DeletePage(m, 0)); }, 2,
       "1|0|Second|V|0012|255|65535|600|600|6|\r\n"
       "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextDocument menu(kMenu, codePage);
    EXPECT_EQ(c.edit(menu), c.result);
    EXPECT_EQ(menu.Bytes(), c.after);
    menu.Undo();
    EXPECT_EQ(menu.Bytes(), kMenu);
    EXPECT_FALSE(menu.CanUndo()) << "one step";
  }
}

TEST_F(PageEdits, AFullPageTakesNoNewLinkAndAFileWithoutAFinalLineEndKeepsIt) {
  std::string full;
  for (int i = 0; i < 50; ++i)
    full += "0|" + std::to_string(i) + "|L|V|0010|0|0|0|0|7|\r\n";
  TextDocument menu(full, codePage);
  EXPECT_EQ(AddLink(menu, 0, TwipPoint{0, 0}), -1);
  EXPECT_EQ(DuplicateLink(menu, 0, 0, TwipPoint{0, 0}), -1);
  EXPECT_EQ(menu.Bytes(), full);

  TextDocument open("0|0|A|V|0010|0|0|0|0|7|", codePage);
  EXPECT_EQ(DuplicatePage(open, 0), 1);
  EXPECT_EQ(open.Bytes(), "0|0|A|V|0010|0|0|0|0|7|\r\n1|0|A|V|0010|0|0|0|0|7|");
  EXPECT_EQ(PagesOf(open), (std::vector<int>{0, 1}));
}

}  // namespace
