// The check on this machine: a folder read through the headless platform.
#include "tools/author/check.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/headless/headless_platform.h"
#include "tools/author/headless_host.h"

CheckResult DiscChecker::Check(const std::string& folder,
                               const GivenFiles& given,
                               const CheckOptions& options) {
  struct stat st;
  DIR* dir = opendir(folder.c_str());
  bool readable = dir != nullptr && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (dir) closedir(dir);
  if (!readable) return CheckResult();
  HeadlessPlatform disc(folder);
  disc.KeepMeasuresIn(kept_->measures);
  return CheckOnMachine(disc, given, kept_->pictures, options);
}
