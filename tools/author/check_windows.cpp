// The check on Windows: a folder read through Win32, text measured by GDI as the program measures it.
#include "platform/headless/windows_machine.h"
#include "tools/author/check.h"
#include "tools/author/check_engine.h"
#include "tools/author/headless_host.h"

DiscChecker::DiscChecker() : kept_(std::make_unique<CheckMemory>()) {}
DiscChecker::~DiscChecker() = default;

CheckResult DiscChecker::Check(const std::string& folder,
                               const GivenFiles& given,
                               const CheckOptions& options) {
  if (!WindowsDisc(folder).readable()) return CheckResult();
  WindowsMachine disc(folder);
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
