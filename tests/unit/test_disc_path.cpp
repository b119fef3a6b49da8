// What Windows makes of the paths the program builds: "D:\" and a name as a configuration file wrote it.
#include <gtest/gtest.h>

#include "platform/disc_path.h"

namespace {

struct PathCase {
  const wchar_t* name;   // as written after "D:\"
  const wchar_t* names;  // the normalised names joined by "|"; nullptr when Windows refuses the path
  bool folderForm = false;
  bool wildcards = false;
};

std::wstring Joined(const WindowsPath& p) {
  std::wstring out;
  for (const Text& n : p.names)
    out += (out.empty() ? L"" : L"|") + n;
  return out;
}

TEST(WindowsPaths, NormaliseAsWindowsDoes) {
  const PathCase cases[] = {
      {L"kavo.inf", L"kavo.inf"},
      {L"docs\\guide.pdf", L"docs|guide.pdf"},
      {L"docs/guide.pdf", L"docs|guide.pdf"},
      {L"docs\\\\\\guide.pdf", L"docs|guide.pdf"},
      {L".\\docs\\.\\guide.pdf", L"docs|guide.pdf"},
      {L"docs\\..\\kavo.inf", L"kavo.inf"},
      // ".." stops at the root: nothing above D:\ exists.
      {L"..\\..\\outside\\x.png", L"outside|x.png"},
      {L"..\\..\\..\\..\\etc\\passwd", L"etc|passwd"},
      // After "D:\" a UNC or a POSIX absolute path is one more run of separators.
      {L"\\\\server\\share\\x.png", L"server|share|x.png"},
      {L"/etc/x", L"etc|x"},
      {L"docs. \\guide.pdf. .", L"docs|guide.pdf"},
      {L"my docs\\guide .pdf", L"my docs|guide .pdf"},
      {L"...\\x", L"x"},
      {L"", L"", true},
      {L"docs\\", L"docs", true},
      {L"*.exe", L"*.exe", false, true},
      {L"set?p.exe", L"set?p.exe", false, true},
      // Windows normalises first: a refused name that ".." takes away does no harm.
      {L"C:\\..\\kavo.inf", L"kavo.inf"},
      {L"C:\\x", nullptr},
      {L"x.wav:stream", nullptr},
      {L"a<b", nullptr},
      {L"a>b", nullptr},
      {L"say \"hi\".txt", nullptr},
      {L"a|b", nullptr},
      {L"tab\there", nullptr},
      {L"*\\x", nullptr},
      {L"*\\", nullptr},
      {L"nul", nullptr},
      {L"docs\\CON.txt", nullptr},
      {L"com1", nullptr},
      {L"lpt9.log", nullptr},
      {L"com10", L"com10"},
      {L"console", L"console"},
  };
  for (const PathCase& c : cases) {
    WindowsPath p = ParseWindowsPath(Text(L"D:\\") + c.name);
    std::string shown = ToUtf8(c.name);
    if (!c.names) {
      EXPECT_EQ(p.drive, 0) << shown;
      continue;
    }
    EXPECT_EQ(p.drive, L'D') << shown;
    EXPECT_EQ(Joined(p), c.names) << shown;
    EXPECT_EQ(p.folderForm, c.folderForm) << shown;
    EXPECT_EQ(p.wildcards, c.wildcards) << shown;
  }
}

TEST(WindowsPaths, OnlyAFullPathOnADriveNamesAFile) {
  for (const wchar_t* path : {L"", L"D:", L"D:kavo.inf", L"\\\\server\\share\\x", L"\\kavo.inf", L"kavo.inf",
                              L"1:\\x", L"\u00C4:\\x"})
    EXPECT_EQ(ParseWindowsPath(path).drive, 0) << ToUtf8(path);
  EXPECT_EQ(ParseWindowsPath(L"c:/Disc/x").drive, L'C');
}

}  // namespace
