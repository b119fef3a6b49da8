// What velmaro-author's commands need of the system they run on: Linux answers with iconv and the installed
// tree, Windows with its own code pages and the files beside the tool.
#pragma once

#include <string>
#include <vector>

// The code page name a check reads ANSI files in ("CP1251" for "1251"); empty when this system cannot
// decode that code page, so that files are never decoded in another.
std::string KnownCodePage(const std::string& asked);
// The code page of the Windows a disc is tried on when none is asked for.
std::string DefaultCodePage();
// What --codepage takes here, with the default, for check's help: it follows "...code page does: " and
// goes on at column 28.
std::string CodePageHelp();
// The program shipped with the tool, for new discs; empty when there is none.
std::string InstalledExe();
// The preview and set commands with their arguments; each returns the exit status.
int Preview(const std::vector<std::string>& args);
int Set(const std::vector<std::string>& args);
// The usage line of the design command, empty where there is no designer; then Design is never called.
std::string DesignUsage();
int Design(const std::vector<std::string>& args);
