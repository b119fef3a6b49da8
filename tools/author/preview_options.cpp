#include "tools/author/preview_options.h"

#include <cerrno>
#include <cstdlib>
#include <ostream>

namespace {

const char* const kUsage =
    "usage: velmaro-author preview DISC [--out DIR] [--page N] [--dpi D] [--overlay]\n"
    "\n"
    "Draws each page of the disc's menu as the program lays it out, one PNG a page.\n"
    "\n"
    "  --out DIR    where the pictures go (default: DISC-preview beside the disc folder, never inside it)\n"
    "  --page N     only page N (default: every page a line of menu.inf names)\n"
    "  --dpi D      the display's dots per inch, 48 to 960 (default 96; 144 is 150 % scaling)\n"
    "  --overlay    mark each link's box, number and action, and add a picture with every link lit\n";

// A whole decimal number from `low` to `high` and nothing after it.
bool ParseInt(const std::string& s, long low, long high, long* value) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

}  // namespace

int PreviewUsage(std::ostream& err, const std::string& problem) {
  std::string usage = kUsage;
  err << "velmaro-author: preview: " << problem << "\n"
      << usage.substr(0, usage.find('\n') + 1) << "velmaro-author preview --help says more\n";
  return 2;
}

std::optional<int> ParsePreviewArgs(const std::vector<std::string>& args,
                                    PreviewOptions* options,
                                    std::ostream& out,
                                    std::ostream& err) {
  // Help wins wherever it stands, even after a mistake.
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool more = i + 1 < args.size();
    long value = 0;
    if (a == "--out" && more) {
      options->out = args[++i];
    } else if (a == "--page" && more) {
      if (!ParseInt(args[++i], -32768, 32767, &value)) return PreviewUsage(err, "--page takes a page number");
      options->onePage = true;
      options->page = static_cast<int>(value);
    } else if (a == "--dpi" && more) {
      if (!ParseInt(args[++i], 48, 960, &value))
        return PreviewUsage(err, "--dpi takes dots per inch, 48 to 960");
      options->dpi = static_cast<unsigned>(value);
    } else if (a == "--overlay") {
      options->overlay = true;
    } else if (options->folder.empty() && a.rfind("--", 0) != 0) {
      options->folder = a;
    } else {
      return PreviewUsage(err, "unexpected " + a);
    }
  }
  if (options->folder.empty()) return PreviewUsage(err, "which disc folder?");
  return std::nullopt;
}
