// The check on this machine: a folder read through the headless platform.
#include "tools/author/check.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/headless/headless_platform.h"
#include "tools/author/check_engine.h"
#include "tools/author/headless_host.h"

DiscChecker::DiscChecker() : kept_(std::make_unique<CheckMemory>()) {}
DiscChecker::~DiscChecker() = default;

CheckResult DiscChecker::Check(const std::string& folder,
                               const GivenFiles& given,
                               const CheckOptions& options) {
  struct stat st;
  DIR* dir = opendir(folder.c_str());
  bool readable = dir != nullptr && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (dir) closedir(dir);
  if (!readable) return CheckResult();
  HeadlessPlatform disc(folder);
  disc.codePage = options.codePage;
  disc.KeepMeasuresIn(kept_->measures);
  for (const auto& file : given)
    disc.GiveFile(FromUtf8(file.first), file.second);
  HeadlessCheckHost host(disc, &kept_->pictures);
  return RunCheck(host, options);
}

CheckResult CheckDisc(const std::string& folder, const GivenFiles& given, const CheckOptions& options) {
  return DiscChecker().Check(folder, given, options);
}

CheckResult CheckDisc(const std::string& folder, const CheckOptions& options) {
  return CheckDisc(folder, GivenFiles(), options);
}
