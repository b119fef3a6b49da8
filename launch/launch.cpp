#include "launch/launch.h"

#include "startup/frmMain.h"

const Text kMissingFileTitle = L"File Not Found";

LaunchCommandParts SplitLaunchCommand(const Text& command) {
  for (std::size_t i = 1; i < command.size(); ++i) {
    if (command[i] == L'-' && command[i - 1] == L' ')
      return {command.substr(0, i - 1), command.substr(i + 1)};
  }
  return {command, Text()};
}

Text NotOnDiscMessage(const Text& verb, const Text& file) {
  return L"You told Velmaro that you wanted to " + verb + L" the file cdDrive:\\" + file +
         L" yet you did not burn this file to CD!  "
         L"It is very hard to launch a file from your CD if that file is not "
         L"where you told Velmaro that it would be.  Please burn "
         L"your file to the appropriate location.";
}

Text MissingFileMessage(const Text& file) {
  return NotOnDiscMessage(L"launch", file);
}

void LaunchCommand(Owner owner, const Text& command) {
  LaunchCommandParts parts = SplitLaunchCommand(command);
  Text path = frmMain.appPath + parts.file;
  if (!Sys().FileExists(path)) Sys().ShowCriticalMessage(MissingFileMessage(parts.file), kMissingFileTitle);
  Sys().ShellExecuteA(owner, L"open", path, parts.parameters);
}

void LaunchSingleFile() {
  LaunchCommand(Owner::None, frmMain.sSingle);
}
