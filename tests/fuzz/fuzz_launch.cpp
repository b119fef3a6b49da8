// The launch-command split on any text, and the launch that follows it on a fake disc: the split happens at
// the first dash directly after a blank, the two parts give the command back, and the shell is always asked.
#include "check.h"
#include "launch/launch.h"
#include "platform/fake/fake_platform.h"
#include "startup/frmMain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const Text command = BytesToText(data, size);
  const LaunchCommandParts parts = SplitLaunchCommand(command);

  std::size_t split = command.find(L" -");
  if (split == Text::npos) {
    FUZZ_CHECK(parts.file == command);
    FUZZ_CHECK(parts.parameters.empty());
  } else {
    FUZZ_CHECK(parts.file + L" -" + parts.parameters == command);
    FUZZ_CHECK(parts.file.size() == split);
    FUZZ_CHECK(parts.file.find(L" -") == Text::npos);
  }

  static FakePlatform* fake = [] {
    auto* platform = new FakePlatform;
    platform->AddFile(L"D:\\setup.exe", "MZ");
    platform->AddFile(L"D:\\bin\\tool.exe", "MZ");
    return platform;
  }();
  fake->transcript.clear();
  frmMain = FrmMain{};
  frmMain.appPath = L"D:\\";
  frmMain.sSingle = command;
  LaunchSingleFile();
  LaunchCommand(Owner::Menu, command);

  const std::string path = Quoted(L"D:\\" + parts.file);
  const std::string exists = "FileExists(" + path + ") = ";
  const std::string params = Quoted(parts.parameters);
  std::size_t line = 0;
  for (const char* owner : {"null", "frmMenu"}) {
    FUZZ_CHECK(line < fake->transcript.size());
    const std::string& test = fake->transcript[line++];
    FUZZ_CHECK(test == exists + "true" || test == exists + "false");
    if (test == exists + "false") {
      FUZZ_CHECK(line < fake->transcript.size());
      const std::string& message = fake->transcript[line++];
      FUZZ_CHECK(message == "MessageBox(critical, " + Quoted(kMissingFileTitle) + ", " +
                                Quoted(MissingFileMessage(parts.file)) + ")");
    }
    FUZZ_CHECK(line < fake->transcript.size());
    FUZZ_CHECK(fake->transcript[line++] == std::string("ShellExecuteA(owner=") + owner + ", \"open\", " +
                                               path + ", " + params + ", dir=null, show=1)");
  }
  FUZZ_CHECK(line == fake->transcript.size());
  FUZZ_CHECK(!fake->ended);
  return 0;
}
