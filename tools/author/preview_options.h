// What `velmaro-author preview` is asked to do, read from its arguments the same way on Linux and Windows.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct PreviewOptions {
  std::string folder;
  std::string out;  // empty: the default, DISC-preview beside the disc
  bool onePage = false;
  int page = 0;
  unsigned dpi = 96;
  bool overlay = false;
};

// Reads `args` into `options`. An exit status when there is nothing more to do: 0 after the usage asked for
// with --help (on `out`), 2 after a mistake said on `err`; nothing when the preview should run.
std::optional<int> ParsePreviewArgs(const std::vector<std::string>& args,
                                    PreviewOptions* options,
                                    std::ostream& out,
                                    std::ostream& err);

// Says `problem` and how the command is used on `err`; returns the exit status of a usage mistake.
int PreviewUsage(std::ostream& err, const std::string& problem);
