// Every kind of edit over every menu.inf and kavo.inf the repository holds, judged by the program's own
// reading of the result: the edited field or line reads as written, everything else reads as before, the
// bytes outside the edited line are untouched, and undo gives back the file byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "corpus.h"
#include "tools/edit/edit_error.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"
#include "tools/edit/posix/iconv_code_page.h"

namespace {

constexpr std::size_t kLinesPerFile = 40;  // enough to reach every kind of line of the fixtures

const MenuLinkValues kNewValues = {L"7",     L"12",   L"Edited caption", L"Tahoma", L"0110",         L"255",
                                   L"65280", L"1500", L"2250",           L"3",      L"docs\\new.txt"};

// The bytes `after` differs from `before` in lie within [from, to) of `before`.
void ExpectChangeWithin(const std::string& before,
                        const std::string& after,
                        std::size_t from,
                        std::size_t to) {
  if (before == after) return;  // the field already held the value
  auto [prefix, suffix] = CommonEnds(before, after);
  EXPECT_GE(prefix, from);
  EXPECT_GE(suffix, before.size() - to);
}

class CorpusEdit : public ::testing::Test {
 protected:
  IconvCodePage codePage{"CP1252"};
};

TEST_F(CorpusEdit, SettingEachFieldChangesThatFieldOnly) {
  for (const DiscText& file : RepositoryCorpus().menus) {
    TextDocument document(file.bytes, codePage);
    MenuEditor menu(document);
    const std::vector<Text> lines = ProgramLines(file.bytes);
    ASSERT_EQ(lines.size(), document.LineCount()) << file.name;
    for (std::size_t i = 0; i < std::min(lines.size(), kLinesPerFile); ++i) {
      if (lines[i].empty()) continue;
      const ProgramFields before = TakeFields(lines[i]);
      for (std::size_t f = 0; f <= std::min(before.fields.size(), kMenuFieldCount - 1); ++f) {
        SCOPED_TRACE(file.name + " line " + std::to_string(i + 1) + " " + MenuFieldName(MenuField(f)));
        const LineSpan span = document.Line(i);
        try {
          menu.SetField(i, MenuField(f), kNewValues[f]);
        } catch (const EditError& e) {
          // A lone bar read as a field cannot stay one once anything follows it.
          bool loneBar = std::find(before.fields.begin(), before.fields.end(), L"|") != before.fields.end();
          EXPECT_TRUE(loneBar && e.refusal() == EditRefusal::FieldUnreadable) << e.what();
          EXPECT_EQ(document.Bytes(), file.bytes);
          continue;
        }
        const std::string edited = document.Bytes();
        std::vector<Text> linesAfter = ProgramLines(edited);
        ASSERT_EQ(linesAfter.size(), lines.size());
        for (std::size_t k = 0; k < lines.size(); ++k)
          if (k != i) {
            EXPECT_EQ(linesAfter[k], lines[k]);
          }
        const ProgramFields after = TakeFields(linesAfter[i]);
        ASSERT_GT(after.fields.size(), f);
        EXPECT_EQ(after.fields[f], kNewValues[f]);
        for (std::size_t k = 0; k < before.fields.size(); ++k)
          if (k != f) {
            EXPECT_EQ(after.fields[k], before.fields[k]);
          }
        if (f < before.fields.size()) {
          EXPECT_EQ(after.rest, before.rest);
        }
        ExpectChangeWithin(file.bytes, edited, span.start, span.start + span.length);

        if (edited == file.bytes) {  // the field held the value already: no edit to undo
          EXPECT_FALSE(document.CanUndo());
          continue;
        }
        document.Undo();
        ASSERT_EQ(document.Bytes(), file.bytes);
        document.Redo();
        ASSERT_EQ(document.Bytes(), edited);
        document.Undo();
      }
    }
    EXPECT_FALSE(document.Modified());
  }
}

TEST_F(CorpusEdit, AddingDuplicatingAndDeletingLinesTouchesThoseLinesOnly) {
  for (const DiscText& file : RepositoryCorpus().menus) {
    TextDocument document(file.bytes, codePage);
    MenuEditor menu(document);
    const std::vector<Text> lines = ProgramLines(file.bytes);
    for (std::size_t i = 0; i < std::min(lines.size(), kLinesPerFile); ++i) {
      SCOPED_TRACE(file.name + " line " + std::to_string(i + 1));
      struct Case {
        const char* name;
        std::function<void()> edit;
        std::vector<Text> expected;
      };
      std::vector<Text> deleted = lines, duplicated = lines, added = lines;
      deleted.erase(deleted.begin() + static_cast<long>(i));
      duplicated.insert(duplicated.begin() + static_cast<long>(i) + 1, lines[i]);
      added.insert(added.begin() + static_cast<long>(i) + 1,
                   L"7|12|Edited caption|Tahoma|0110|255|65280|1500|2250|3|docs\\new.txt|");
      const Case cases[] = {
          {"delete", [&] { menu.DeleteLine(i); }, deleted},
          {"duplicate", [&] { menu.DuplicateLine(i); }, duplicated},
          {"add after", [&] { menu.InsertLink(i + 1, kNewValues); }, added},
      };
      for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.edit();
        EXPECT_EQ(ProgramLines(document.Bytes()), c.expected);
        // One run of bytes added or removed, nothing else.
        auto [prefix, suffix] = CommonEnds(file.bytes, document.Bytes());
        EXPECT_TRUE(prefix + suffix == file.bytes.size() || prefix + suffix == document.Bytes().size());
        document.Undo();
        ASSERT_EQ(document.Bytes(), file.bytes);
      }
    }
  }
}

TEST_F(CorpusEdit, SettingEachKavoLineChangesThatLineOnly) {
  for (const DiscText& file : RepositoryCorpus().kavos) {
    TextDocument document(file.bytes, codePage);
    KavoEditor kavo(document);
    const std::vector<Text> lines = ProgramLines(file.bytes);
    for (int k = 0; k < kKavoLineCount; ++k) {
      SCOPED_TRACE(file.name + " " + KavoLineName(KavoLine(k)));
      const Text value = k == 0 ? L"011" : L"new\\file " + std::to_wstring(k) + L".wav";
      std::vector<Text> expected = lines;
      if (expected.size() <= static_cast<std::size_t>(k)) expected.resize(static_cast<std::size_t>(k) + 1);
      expected[static_cast<std::size_t>(k)] = value;
      kavo.SetLine(KavoLine(k), value);
      EXPECT_EQ(ProgramLines(document.Bytes()), expected);
      EXPECT_EQ(kavo.Line(KavoLine(k)), value);
      if (static_cast<std::size_t>(k) < lines.size()) {
        const LineSpan span = TextDocument(file.bytes, codePage).Line(static_cast<std::size_t>(k));
        ExpectChangeWithin(file.bytes, document.Bytes(), span.start, span.start + span.length);
      } else {
        EXPECT_EQ(document.Bytes().compare(0, file.bytes.size(), file.bytes), 0) << "only added at the end";
      }
      document.Undo();
      ASSERT_EQ(document.Bytes(), file.bytes);
    }
  }
}

TEST_F(CorpusEdit, TheLinesAreTheProgramsLines) {
  Corpus corpus = RepositoryCorpus();
  ASSERT_GT(corpus.menus.size(), 20u) << "the end-to-end cases' menus are missing";
  for (const auto* files : {&corpus.menus, &corpus.kavos})
    for (const DiscText& file : *files) {
      TextDocument document(file.bytes, codePage);
      std::vector<Text> lines = ProgramLines(file.bytes);
      ASSERT_EQ(document.LineCount(), lines.size()) << file.name;
      FakePlatform fake;
      fake.AddFile(L"D:\\file.inf", file.bytes);
      FileOpen(L"D:\\file.inf");
      EXPECT_EQ(document.Encoding(), FileEncoding()) << file.name;
      FileClose();
    }
}

}  // namespace
