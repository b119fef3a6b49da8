// Launch commands: a file of the disc, a blank, a dash and the parameters, handed to the shell.
#pragma once

#include "platform/platform.h"
#include "platform/text.h"

struct LaunchCommandParts {
  Text file;        // relative to the program's folder
  Text parameters;  // empty when the command has none
};

// Splits at the first dash that directly follows a blank. A dash anywhere else belongs to the file name,
// so "my-tool.exe -x" launches my-tool.exe and no command fails to split.
LaunchCommandParts SplitLaunchCommand(const Text& command);

// The text of the message shown when a file the disc's author named is not on the disc; `verb` says what
// was to be done with it ("launch", "play"). The drive is shown as "cdDrive:\" whatever it is.
Text NotOnDiscMessage(const Text& verb, const Text& file);
Text MissingFileMessage(const Text& file);
extern const Text kMissingFileTitle;

// Splits the command, tells the user when its file is missing, and asks the shell to open it all the same.
void LaunchCommand(Owner owner, const Text& command);

// The single-file launch of kavo.inf line 3, owned by no window.
void LaunchSingleFile();
