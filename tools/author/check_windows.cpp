// The check on Windows: a folder read through Win32, text measured by GDI as the program measures it.
#include "platform/headless/windows_machine.h"
#include "tools/author/check.h"
#include "tools/author/headless_host.h"

CheckResult DiscChecker::Check(const std::string& folder,
                               const GivenFiles& given,
                               const CheckOptions& options) {
  if (!WindowsDisc(folder).readable()) return CheckResult();
  WindowsMachine disc(folder);
  disc.KeepMeasuresIn(kept_->measures);
  return CheckOnMachine(disc, given, kept_->pictures, options);
}
