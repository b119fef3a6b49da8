// velmaro-author set: edits of a disc's menu.inf and kavo.inf from a script, through the editing model, so
// that every byte no edit names stays as it was.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/edit/code_page.h"
#include "tools/edit/file_system.h"

// What set needs of the system it runs on: its files, and its ANSI code pages by the names an author gives.
struct SetSystem {
  EditFileSystem& files;
  // The code page `name` stands for ("CP1251", "1251"); nullptr when this system has none by that name.
  std::function<std::unique_ptr<AnsiCodePage>(const std::string& name)> codePage;
  // The code page of the Windows the disc is read on when none is named ("CP1252").
  std::string defaultCodePage;
};

// The command's help, naming the default code page.
std::string SetUsage(const std::string& defaultCodePage);

// `args` are the words after "set", in UTF-8. Returns the exit code: 0 saved, 1 an edit refused or a file
// that could not be written (nothing is saved then), 2 a bad command line or a folder that cannot be read.
int SetCommand(const std::vector<std::string>& args,
               const SetSystem& system,
               std::ostream& out,
               std::ostream& err);
