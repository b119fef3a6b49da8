#include "startup/kavo.h"

#include "platform/errors.h"
#include "platform/textfile.h"

LaunchConfig ReadLaunchConfig(const Text& appPath) {
  LaunchConfig config;
  FileCloser closer;
  SkipOnError([&] { FileOpen(appPath + L"kavo.inf"); });
  Text flags;
  SkipOnError([&] { flags = LineInput(); });
  config.splashFlag = Mid(flags, 1, 1);
  config.fileFlag = Mid(flags, 2, 1);
  config.menuFlag = flags.empty() ? Text() : flags.substr(flags.size() - 1);
  for (Text* value : {&config.splashPicture, &config.singleFile, &config.menuPicture, &config.backgroundSound,
                      &config.mouseOverSound})
    SkipOnError([&] { *value = LineInput(); });
  // A read that fails part-way (a scratched disc) makes the file unreadable as a whole: no value of a
  // line cut short is ever used.
  if (ReadFailed()) return LaunchConfig();
  return config;
}
