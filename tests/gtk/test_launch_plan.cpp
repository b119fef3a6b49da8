#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gtk/launch_plan.h"

namespace {

using Words = std::vector<std::string>;

// The head of a little-endian ELF file whose program header table holds a PT_LOAD, then PT_INTERP.
std::string ElfHead(bool wide, const std::string& interpreter) {
  std::string head(512, '\0');
  auto put = [&](std::size_t at, uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
      head[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  head.replace(0, 4,
               "\x7f"
               "ELF");
  head[4] = wide ? 2 : 1;
  head[5] = 1;
  std::size_t table = wide ? 64 : 52, entry = wide ? 56 : 32, text = 300;
  put(wide ? 32 : 28, table, wide ? 8 : 4);
  put(wide ? 54 : 42, entry, 2);
  put(wide ? 56 : 44, 2, 2);
  put(table, 1, 4);  // PT_LOAD
  put(table + entry, 3, 4);
  put(table + entry + (wide ? 8 : 4), text, wide ? 8 : 4);
  put(table + entry + (wide ? 32 : 16), interpreter.size() + 1, wide ? 8 : 4);
  head.replace(text, interpreter.size(), interpreter);
  return head;
}

TEST(LaunchPlan, ShellFilesGoToTheDiscTheOpenerOrNowhere) {
  struct Case {
    const wchar_t* file;
    ShellTarget::Kind kind;
    const char* uri;
  } cases[] = {
      {L"D:\\docs\\guide.pdf", ShellTarget::Disc, ""},
      {L"d:/docs", ShellTarget::Disc, ""},
      {L"D:\\", ShellTarget::Disc, ""},
      {L"C:\\Windows\\notepad.exe", ShellTarget::Elsewhere, ""},
      {L"\\\\server\\share\\x.txt", ShellTarget::Elsewhere, ""},
      {L"setup.exe", ShellTarget::Elsewhere, ""},
      {L"https://example.org/a?b=c", ShellTarget::Uri, "https://example.org/a?b=c"},
      {L"mailto:info@example.org", ShellTarget::Uri, "mailto:info@example.org"},
      {L"www.example.org", ShellTarget::Uri, "http://www.example.org"},
      {L"/usr/share/doc/a b.txt", ShellTarget::HostPath, "file:///usr/share/doc/a%20b.txt"},
      {L"/home/\u00e9l\u00e8ve/x", ShellTarget::HostPath, "file:///home/%C3%A9l%C3%A8ve/x"},
  };
  for (const Case& c : cases) {
    ShellTarget target = ClassifyShellFile(c.file, L'D');
    EXPECT_EQ(target.kind, c.kind) << ToUtf8(c.file);
    EXPECT_EQ(target.uri, c.uri) << ToUtf8(c.file);
  }
}

TEST(LaunchPlan, ParametersReachTheProgramAsOnWindows) {
  struct Case {
    const wchar_t* parameters;
    Words words;
  } cases[] = {
      {L"", {}},
      {L"-s", {"-s"}},
      {L"  -s   --lang en  ", {"-s", "--lang", "en"}},
      {L"\"abc\" d e", {"abc", "d", "e"}},
      {L"a\\\\\\b d\"e f\"g h", {"a\\\\\\b", "de fg", "h"}},
      {L"a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
      {L"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
      {L"\"\" x", {"", "x"}},
      {L"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {L"--name=\u00e9t\u00e9", {"--name=\xc3\xa9t\xc3\xa9"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SplitParameters(c.parameters), c.words) << ToUtf8(c.parameters);
}

TEST(LaunchPlan, FindsTheLoaderAnElfNames) {
  EXPECT_EQ(ElfInterpreter(ElfHead(true, "/lib64/ld-linux-x86-64.so.2")), "/lib64/ld-linux-x86-64.so.2");
  EXPECT_EQ(ElfInterpreter(ElfHead(false, "/lib/ld-linux.so.2")), "/lib/ld-linux.so.2");
  // Cut before the name, a relative name, a big-endian file, no ELF at all: none.
  EXPECT_EQ(ElfInterpreter(ElfHead(true, "/lib64/ld-linux-x86-64.so.2").substr(0, 310)), "");
  EXPECT_EQ(ElfInterpreter(ElfHead(true, "ld.so")), "");
  std::string big = ElfHead(true, "/lib/ld.so");
  big[5] = 2;
  EXPECT_EQ(ElfInterpreter(big), "");
  EXPECT_EQ(ElfInterpreter("#!/bin/sh\n"), "");
  EXPECT_EQ(ElfInterpreter(std::string("\x7f"
                                       "ELF",
                                       4)),
            "");
  // A real program of this machine.
  std::ifstream shell("/bin/sh", std::ios::binary);
  std::string head(kLaunchHeadBytes, '\0');
  shell.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(shell.gcount()));
  EXPECT_EQ(ElfInterpreter(head).compare(0, 1, "/"), 0);
}

TEST(LaunchPlan, EachKindOfDiscFileStartsItsOwnWay) {
  const Words wine = {"wine", "start", "/unix", "%f"};
  const std::string elf = ElfHead(true, "/lib64/ld-linux-x86-64.so.2");
  struct Case {
    const char* name;
    DiscFile file;
    const wchar_t* parameters;
    Words handler;
    LaunchPlan::Kind kind;
    Words argv;
    const char* target;
  } cases[] = {
      {"a program without execute bits, through its loader",
       {"/disc/bin/tool", false, false, elf},
       L"-x \"a b\"",
       {},
       LaunchPlan::Run,
       {"/lib64/ld-linux-x86-64.so.2", "/disc/bin/tool", "-x", "a b"},
       ""},
      {"a program with execute bits, itself",
       {"/disc/bin/tool", false, true, elf},
       L"-x",
       {},
       LaunchPlan::Run,
       {"/disc/bin/tool", "-x"},
       ""},
      {"a script written on Windows, through its interpreter",
       {"/disc/setup.sh", false, false, "#!/bin/sh\r\necho\r\n"},
       L"-s",
       {},
       LaunchPlan::Run,
       {"/bin/sh", "/disc/setup.sh", "-s"},
       ""},
      {"a script's interpreter argument, as one word",
       {"/disc/s.py", false, false, "#! /usr/bin/env python3 -u\nprint()\n"},
       L"",
       {},
       LaunchPlan::Run,
       {"/usr/bin/env", "python3 -u", "/disc/s.py"},
       ""},
      {"a Windows program to Wine, parameters after it",
       {"/disc/Setup.EXE", false, false, "MZ\x90"},
       L"-s /q",
       wine,
       LaunchPlan::Run,
       {"wine", "start", "/unix", "/disc/Setup.EXE", "-s", "/q"},
       ""},
      {"a Windows program by its name alone",
       {"/disc/setup.exe", false, false, "not really"},
       L"",
       wine,
       LaunchPlan::Run,
       {"wine", "start", "/unix", "/disc/setup.exe"},
       ""},
      {"a handler without a place for the file gets it last",
       {"/disc/a.bat", false, false, "@echo off"},
       L"",
       {"winebat"},
       LaunchPlan::Run,
       {"winebat", "/disc/a.bat"},
       ""},
      {"a Windows program where nothing runs it",
       {"/disc/setup.exe", false, false, "MZ"},
       L"-s",
       {},
       LaunchPlan::NeedsWindows,
       {},
       ""},
      {"a renamed Windows program is known by its header",
       {"/disc/setup", false, false, "MZ\x90\0"},
       L"",
       {},
       LaunchPlan::NeedsWindows,
       {},
       ""},
      {"a document to the opener, parameters dropped",
       {"/disc/docs/read me.txt", false, false, "Hello"},
       L"-s",
       wine,
       LaunchPlan::Open,
       {},
       "file:///disc/docs/read%20me.txt"},
      {"the disc's folder to the opener",
       {"/media/cdrom", true, false, ""},
       L"",
       {},
       LaunchPlan::Open,
       {},
       "file:///media/cdrom"},
  };
  for (const Case& c : cases) {
    LaunchPlan plan = PlanDiscLaunch(c.file, c.parameters, c.handler);
    EXPECT_EQ(plan.kind, c.kind) << c.name;
    EXPECT_EQ(plan.argv, c.argv) << c.name;
    EXPECT_EQ(plan.target, c.target) << c.name;
  }
}

}  // namespace
