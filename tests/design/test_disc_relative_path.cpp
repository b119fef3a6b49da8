// The names the disc file dialog stores, and the files it refuses.
#include <gtest/gtest.h>

#include <cwctype>

#include "tools/design/disc_relative_path.h"

namespace {

wchar_t Upper(wchar_t c) {
  return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

struct InsideCase {
  const wchar_t* folder;
  const wchar_t* path;
  const wchar_t* relative;  // null: not inside
};

TEST(PathInsideFolder, WholeNamesInAnyCase) {
  const InsideCase cases[] = {
      {L"D:\\disc", L"D:\\disc\\docs\\guide.pdf", L"docs\\guide.pdf"},
      {L"D:\\disc\\", L"D:\\disc\\setup.exe", L"setup.exe"},
      {L"d:\\Disc", L"D:\\DISC\\Docs\\Guide.PDF", L"Docs\\Guide.PDF"},
      {L"D:/disc", L"D:\\disc/sounds//a.wav", L"sounds\\a.wav"},
      {L"D:\\", L"D:\\images\\menu.png", L"images\\menu.png"},
      {L"D:\\disc", L"D:\\disc\\.\\docs\\..\\a.txt", L"a.txt"},
      {L"\\\\server\\share\\disc", L"\\\\SERVER\\share\\disc\\a.txt", L"a.txt"},
      {L"\\\\?\\D:\\disc", L"D:\\disc\\a.txt", L"a.txt"},
      {L"\\\\?\\UNC\\server\\share\\disc", L"\\\\server\\share\\disc\\x\\a.txt", L"x\\a.txt"},
      // A folder whose name starts like the disc's is another folder.
      {L"D:\\disc", L"D:\\disc2\\a.txt", nullptr},
      {L"D:\\disc", L"D:\\dis\\a.txt", nullptr},
      {L"D:\\disc", L"E:\\disc\\a.txt", nullptr},
      {L"D:\\disc", L"D:\\disc", nullptr},
      {L"D:\\disc", L"D:\\disc\\", nullptr},
      // ".." that leads out is out, whatever comes after it.
      {L"D:\\disc", L"D:\\disc\\..\\other\\a.txt", nullptr},
      {L"D:\\disc", L"D:\\disc\\..\\disc\\a.txt", L"a.txt"},
      {L"D:\\disc", L"D:\\..\\disc\\a.txt", nullptr},
      {L"D:\\disc", L"\\\\server\\share\\disc\\a.txt", nullptr},
      {L"D:\\disc", L"disc\\a.txt", nullptr},
      {L"\\\\server", L"\\\\server\\share\\a.txt", nullptr},
  };
  for (const InsideCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.folder) + " " + ToUtf8(c.path));
    std::optional<Text> relative = PathInsideFolder(c.folder, c.path, Upper);
    ASSERT_EQ(relative.has_value(), c.relative != nullptr);
    if (relative) {
      EXPECT_EQ(ToUtf8(*relative), ToUtf8(c.relative));
    }
  }
}

TEST(ChooseDiscFile, RefusesFilesOutsideAndLinksLeadingOut) {
  DiscFileChoice inside =
      ChooseDiscFile(L"D:\\disc", L"D:\\disc\\a.pdf", L"D:\\disc", L"D:\\disc\\a.pdf", Upper);
  ASSERT_TRUE(inside.relative);
  EXPECT_EQ(*inside.relative, L"a.pdf");

  DiscFileChoice outside = ChooseDiscFile(L"D:\\disc", L"C:\\Users\\me\\a.pdf", L"", L"", Upper);
  EXPECT_FALSE(outside.relative);
  EXPECT_NE(outside.refusal.find(L"not in the disc's folder"), Text::npos);

  // docs is a link to a folder elsewhere.
  DiscFileChoice linked =
      ChooseDiscFile(L"D:\\disc", L"D:\\disc\\docs\\a.pdf", L"D:\\disc", L"C:\\elsewhere\\a.pdf", Upper);
  EXPECT_FALSE(linked.relative);
  EXPECT_NE(linked.refusal.find(L"link that leads out"), Text::npos);

  // A link inside the disc is named as chosen; and the disc folder itself may be reached through a link.
  DiscFileChoice linkIn = ChooseDiscFile(L"D:\\disc", L"D:\\disc\\latest\\a.pdf", L"\\\\?\\E:\\real\\disc",
                                         L"\\\\?\\E:\\real\\disc\\v2\\a.pdf", Upper);
  ASSERT_TRUE(linkIn.relative);
  EXPECT_EQ(*linkIn.relative, L"latest\\a.pdf");

  // Without the final paths only the names decide.
  EXPECT_TRUE(ChooseDiscFile(L"D:\\disc", L"D:\\disc\\a.pdf", L"", L"", Upper).relative);
}

}  // namespace
