// velmaro-author set: edits of a disc's menu.inf and kavo.inf from a script, through the editing model, so
// that every byte no edit names stays as it was.
#pragma once

#include <ostream>
#include <string>
#include <vector>

extern const char* const kSetUsage;

// `args` are the words after "set". Returns the exit code: 0 saved, 1 an edit refused or a file that
// could not be written (nothing is saved then), 2 a bad command line or a folder that cannot be read.
int SetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
