// What a shell request of the program becomes on a Linux desktop, decided without touching the desktop so
// that it is tested anywhere: documents, folders, URLs and mail go to the desktop's opener; a program or
// script of the disc runs even from a medium without execute bits, through the loader or interpreter it
// names and never copied off the disc; a Windows program goes to the handler installed for it (Wine).
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"

// Where the file of a shell request points.
struct ShellTarget {
  enum Kind {
    Disc,      // a path on the program's drive: looked up on the disc
    Uri,       // a URL, mailto: included
    HostPath,  // an absolute path of this machine ("/usr/share/doc")
    Elsewhere  // another drive, a network share: nothing here has it
  } kind = Elsewhere;
  std::string uri;  // for Uri and HostPath: what the opener is given
};

// `drive` is the letter the program's folder is on.
ShellTarget ClassifyShellFile(const Text& file, wchar_t drive);

// A file of the disc that a shell request found.
struct DiscFile {
  std::string path;  // on this machine
  bool folder = false;
  bool executable = false;  // its execute bit is set and the medium allows running it
  std::string head;         // its first bytes (kLaunchHeadBytes of them, or all of a shorter file)
};
constexpr std::size_t kLaunchHeadBytes = 4096;

struct LaunchPlan {
  enum Kind {
    Nothing,
    Open,         // `target` to the desktop's opener
    Run,          // `argv`, from the disc's root as working folder
    NeedsWindows  // a Windows program and nothing here runs it
  } kind = Nothing;
  std::string target;
  std::vector<std::string> argv;
};

// `windowsHandler` is the command line of the desktop's handler for Windows programs, a "%f" (or "%F",
// "%u", "%U") standing for the file; empty when none is installed.
LaunchPlan PlanDiscLaunch(const DiscFile& file,
                          const Text& parameters,
                          const std::vector<std::string>& windowsHandler);

// Parameters as a Windows program receives them in its argv (quotes group, backslashes escape quotes).
std::vector<std::string> SplitParameters(const Text& parameters);

// The loader an ELF file's PT_INTERP names, when it lies within `head`; empty for none.
std::string ElfInterpreter(const std::string& head);

// file:// URI of an absolute path, bytes outside the unreserved set percent-encoded.
std::string FileUri(const std::string& path);
