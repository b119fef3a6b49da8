// Edits with the exact bytes they must give: line ends of every kind, marks and encodings, fields the loader
// reads in its own way, what is refused, and the undo history.
#include <gtest/gtest.h>

#include <functional>

#include "tools/edit/edit_error.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"
#include "tools/edit/posix/iconv_code_page.h"

namespace {

const std::string kLine = "0|0|Old|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|";
const std::string kNewLine = "1|2|Help|Arial|0010|255|65535|240|900|3|docs\\help.txt|";
const MenuLinkValues kNewLink = {L"1",     L"2",   L"Help", L"Arial", L"0010",          L"255",
                                 L"65535", L"240", L"900",  L"3",     L"docs\\help.txt"};

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii)
    out += std::string{c, '\0'};
  return out;
}

struct ByteCase {
  const char* name;
  const char* codePage;
  std::string before;
  std::function<void(TextDocument&)> edit;
  std::string after;
};

void Menu(TextDocument& d, std::function<void(MenuEditor&)> f) {
  MenuEditor menu(d);
  f(menu);
}
void Kavo(TextDocument& d, std::function<void(KavoEditor&)> f) {
  KavoEditor kavo(d);
  f(kavo);
}

TEST(EditBytes, EachEditGivesExactlyTheseBytes) {
  auto caption = [](const Text& value) {
    return [value](TextDocument& d) {
      Menu(d, [&](MenuEditor& m) { m.SetField(0, MenuField::Caption, value); });
    };
  };
  const ByteCase cases[] = {
      {"caption, CR LF", "CP1252", kLine + "\r\n" + kLine + "\r\n", caption(L"New"),
       "0|0|New|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|\r\n" + kLine + "\r\n"},
      {"caption, ANSI accent stays ANSI", "CP1252", kLine + "\r\n", caption(L"Caf\u00E9"),
       "0|0|Caf\xE9|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|\r\n"},
      {"caption, UTF-8 mark", "CP1252", "\xEF\xBB\xBF" + kLine + "\n", caption(L"\u041F\u0443\u0441\u043A"),
       "\xEF\xBB\xBF"
       "0|0|\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA|Verdana|1012|16777215|65535|240|300|0|setup.exe -s|\n"},
      {"caption, UTF-16 LE", "CP1252", Utf16("0|0|Old|V|\r\n"), caption(L"Go"), Utf16("0|0|Go|V|\r\n")},
      {"caption, CP932 trail byte is a bar", "CP932", "0|0|\x81\x7C|Verdana|\r\n", caption(L"x"),
       "0|0|x|Verdana|\r\n"},
      {"font after a CP932 caption", "CP932", "0|0|\x81\x7C|Verdana|\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.SetField(0, MenuField::Font, L"Arial"); }); },
       "0|0|\x81\x7C|Arial|\r\n"},
      {"one-character last field gets its bar", "CP1252", "0|0|x", caption(L"Install"), "0|0|Install|"},
      {"a lone bar as the field", "CP1252", "0|0||\n", caption(L"Go"), "0|0|Go|\n"},
      {"one character for one character", "CP1252", "0|0|x", caption(L"y"), "0|0|y"},
      {"trailing fields kept", "CP1252", "0|0|A|V|1012|1|2|3|4|0|x.exe|extra|more\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.SetField(0, MenuField::Argument, L"y.exe"); }); },
       "0|0|A|V|1012|1|2|3|4|0|y.exe|extra|more\r\n"},
      {"the missing argument added", "CP1252", "0|0|A|V|1012|1|2|3|4|4|\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.SetField(0, MenuField::Argument, L"docs"); }); },
       "0|0|A|V|1012|1|2|3|4|4|docs|\r\n"},
      {"an unfinished field replaced", "CP1252", "0|0|Cap|Verd\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.SetField(0, MenuField::Font, L"Arial"); }); },
       "0|0|Cap|Arial|\r\n"},
      {"add after a last line with no end, LF", "CP1252", "a\nb",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLink(2, kNewLink); }); },
       "a\nb\n" + kNewLine},
      {"add in the middle, CR", "CP1252", "a\rb\r",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLink(1, kNewLink); }); },
       "a\r" + kNewLine + "\rb\r"},
      {"add first, before a blank LF line", "CP1252", "\nb\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLink(0, kNewLink); }); },
       kNewLine + "\n\nb\r\n"},
      {"add to an empty file", "CP1252", "",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLink(0, kNewLink); }); }, kNewLine + "\r\n"},
      {"add after the mark", "CP1252",
       "\xEF\xBB\xBF"
       "a\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLine(0, L"b"); }); },
       "\xEF\xBB\xBF"
       "b\r\na\r\n"},
      {"add in UTF-16", "CP1252", Utf16("a\r\n"),
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.InsertLine(1, L"b"); }); }, Utf16("a\r\nb\r\n")},
      {"duplicate a last line with no end", "CP1252", "a\r\nb|x|",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.DuplicateLine(1); }); }, "a\r\nb|x|\r\nb|x|"},
      {"delete a last line with no end", "CP1252", "a\r\nb",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.DeleteLine(1); }); }, "a"},
      {"delete a blank line", "CP1252", "a\r\n\r\nb\r\n",
       [](TextDocument& d) { Menu(d, [](MenuEditor& m) { m.DeleteLine(1); }); }, "a\r\nb\r\n"},
      {"kavo: lines added, no end kept", "CP1252", "1\r\nsplash.png",
       [](TextDocument& d) { Kavo(d, [](KavoEditor& k) { k.SetLine(KavoLine::MenuPicture, L"menu.png"); }); },
       "1\r\nsplash.png\r\n\r\nmenu.png"},
      {"kavo: lines added, LF", "CP1252", "a\nb\n",
       [](TextDocument& d) { Kavo(d, [](KavoEditor& k) { k.SetLine(KavoLine::MouseOverSound, L"o.wav"); }); },
       "a\nb\n\n\n\no.wav\n"},
      {"kavo: flags of an empty file", "CP1252", "",
       [](TextDocument& d) { Kavo(d, [](KavoEditor& k) { k.SetFlags(true, false, true); }); }, "101\r\n"},
      {"kavo: a line in the middle", "CP1252", "001\r\n\r\nsetup.exe\r\n",
       [](TextDocument& d) { Kavo(d, [](KavoEditor& k) { k.SetLine(KavoLine::SplashPicture, L"s.bmp"); }); },
       "001\r\ns.bmp\r\nsetup.exe\r\n"},
      {"kavo: UTF-16 with its mark", "CP1252", Utf16("1\r\n"),
       [](TextDocument& d) { Kavo(d, [](KavoEditor& k) { k.SetLine(KavoLine::SplashPicture, L"s.bmp"); }); },
       Utf16("1\r\ns.bmp\r\n")},
  };
  for (const ByteCase& c : cases) {
    SCOPED_TRACE(c.name);
    IconvCodePage codePage(c.codePage);
    TextDocument document(c.before, codePage);
    c.edit(document);
    EXPECT_EQ(document.Bytes(), c.after);
    EXPECT_TRUE(document.Modified());
    document.Undo();
    EXPECT_EQ(document.Bytes(), c.before);
    EXPECT_FALSE(document.Modified());
  }
}

struct RefusalCase {
  const char* name;
  std::string before;
  std::function<void(MenuEditor&)> edit;
  EditRefusal refusal;
};

TEST(EditRefusals, TheFileStaysAsItWas) {
  const RefusalCase cases[] = {
      {"a bar in a caption", kLine, [](MenuEditor& m) { m.SetField(0, MenuField::Caption, L"a|b"); },
       EditRefusal::TextBreaksLine},
      {"a line end in a caption", kLine, [](MenuEditor& m) { m.SetField(0, MenuField::Caption, L"a\rb"); },
       EditRefusal::TextBreaksLine},
      {"a field two past the end", "0|0|Cap|",
       [](MenuEditor& m) { m.SetField(0, MenuField::Style, L"0012"); }, EditRefusal::LineEndsEarly},
      {"a blank line", "\r\n0|0|", [](MenuEditor& m) { m.SetField(0, MenuField::Page, L"1"); },
       EditRefusal::NotAMenuLine},
      {"no such line", kLine, [](MenuEditor& m) { m.DeleteLine(1); }, EditRefusal::NoSuchLine},
      // The rest would be a lone bar, which the loader takes as the argument itself.
      {"an empty last field", "0|0|A|V|1012|1|2|3|4|0|x|",
       [](MenuEditor& m) { m.SetField(0, MenuField::Argument, L""); }, EditRefusal::FieldUnreadable},
      {"Cyrillic in CP1252", kLine, [](MenuEditor& m) { m.SetField(0, MenuField::Caption, L"\u041F"); },
       EditRefusal::CodePageCannotHold},
      // "\u00C3\u00A9" is C3 A9 in CP1252: valid UTF-8, so the whole file would read as UTF-8.
      {"ANSI bytes that read as UTF-8", kLine,
       [](MenuEditor& m) { m.SetField(0, MenuField::Caption, L"\u00C3\u00A9"); },
       EditRefusal::WouldReadAsUtf8},
  };
  IconvCodePage codePage("CP1252");
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    TextDocument document(c.before, codePage);
    MenuEditor menu(document);
    try {
      c.edit(menu);
      ADD_FAILURE() << "not refused";
    } catch (const EditError& e) {
      EXPECT_EQ(e.refusal(), c.refusal) << e.what();
    }
    EXPECT_EQ(document.Bytes(), c.before);
    EXPECT_FALSE(document.CanUndo());
  }
}

TEST(EditEncoding, AnAnsiFileBecomesUtf8WithAMarkOnRequest) {
  IconvCodePage codePage("CP1252");
  const std::string before = "0|0|Caf\xE9|V|\r\n1|0|x|V|\n";
  TextDocument document(before, codePage);
  MenuEditor menu(document);
  try {
    menu.SetField(1, MenuField::Caption, L"\u0417\u0430\u043F\u0443\u0441\u043A");
    ADD_FAILURE() << "not refused";
  } catch (const EditError& e) {
    EXPECT_TRUE(e.Utf8WouldDo());
    EXPECT_EQ(e.text(), L"\u0417\u0430\u043F\u0443\u0441\u043A");
    EXPECT_EQ(e.codePage(), "CP1252");
  }
  document.ConvertToUtf8WithMark();
  EXPECT_EQ(document.Encoding(), TextEncoding::Utf8WithMark);
  EXPECT_EQ(document.Bytes(),
            "\xEF\xBB\xBF"
            "0|0|Caf\xC3\xA9|V|\r\n1|0|x|V|\n");
  menu.SetField(1, MenuField::Caption, L"\u0417\u0430\u043F\u0443\u0441\u043A");
  EXPECT_EQ(document.Bytes(),
            "\xEF\xBB\xBF"
            "0|0|Caf\xC3\xA9|V|\r\n1|0|\xD0\x97\xD0\xB0\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA|V|\n");
  document.Undo();
  document.Undo();
  EXPECT_EQ(document.Bytes(), before);
  EXPECT_EQ(document.Encoding(), TextEncoding::Ansi);
}

TEST(EditHistory, RedoRedoesUntilANewEditDropsIt) {
  IconvCodePage codePage("CP1252");
  TextDocument document(kLine + "\r\n", codePage);
  MenuEditor menu(document);
  menu.SetField(0, MenuField::Left, L"1");
  menu.SetField(0, MenuField::Top, L"2");
  const std::string both = document.Bytes();
  document.Undo();
  document.Undo();
  EXPECT_EQ(document.Bytes(), kLine + "\r\n");
  EXPECT_FALSE(document.CanUndo());
  document.Redo();
  document.Redo();
  EXPECT_EQ(document.Bytes(), both);
  EXPECT_FALSE(document.CanRedo());

  document.Undo();
  document.MarkSaved();
  EXPECT_FALSE(document.Modified());
  document.Undo();
  EXPECT_TRUE(document.Modified());
  menu.SetField(0, MenuField::Page, L"3");  // the saved state was in the redo list: gone now
  EXPECT_FALSE(document.CanRedo());
  document.Undo();
  EXPECT_EQ(document.Bytes(), kLine + "\r\n");
  EXPECT_TRUE(document.Modified());
}

}  // namespace

namespace {

TEST(EditHistory, AGroupIsOneStepAndHappensWholeOrNotAtAll) {
  IconvCodePage codePage("CP1252");
  const std::string before = kLine + "\r\n" + kLine + "\r\n";
  TextDocument document(before, codePage);
  MenuEditor menu(document);
  {
    TextDocument::Group drag(document);
    menu.SetField(0, MenuField::Left, L"540");
    menu.SetField(0, MenuField::Top, L"450");
  }
  const std::string dragged =
      "0|0|Old|Verdana|1012|16777215|65535|540|450|0|setup.exe -s|\r\n" + kLine + "\r\n";
  EXPECT_EQ(document.Bytes(), dragged);
  document.Undo();
  EXPECT_EQ(document.Bytes(), before);
  EXPECT_FALSE(document.CanUndo());
  document.Redo();
  EXPECT_EQ(document.Bytes(), dragged);

  try {
    TextDocument::Group pageDeleted(document);
    menu.DeleteLine(1);
    menu.SetField(0, MenuField::Caption, L"a|b");  // refused: the deletion goes too
  } catch (const EditError&) {
  }
  EXPECT_EQ(document.Bytes(), dragged);
  document.Undo();
  EXPECT_EQ(document.Bytes(), before);
  EXPECT_FALSE(document.CanUndo());
}

}  // namespace
