// velmaro-author.exe: the author tools on Windows (commands.h), with Unicode arguments and a console that
// shows every script.
#include <objbase.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/author/commands.h"
#include "tools/author/windows/console_streams.h"

int wmain(int argc, wchar_t** argv) {
  ConsoleStreams console;
  // The program's picture loading uses the OLE loader for some formats, and WIC writes PNG: both COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i)
    words.push_back(ToUtf8(argv[i]));
  int status = 2;
  // A fault of the tool is said as one, with the usage's exit status, never as an abort.
  try {
    status = RunAuthorTool(words);
  } catch (const std::exception& e) {
    std::cerr << "velmaro-author: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "velmaro-author: internal error\n";
  }
  std::cout.flush();
  std::cerr.flush();
  return status;
}
