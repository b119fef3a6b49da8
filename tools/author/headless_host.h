// The check's questions answered over a folder of this machine, through the headless platform.
#pragma once

#include <map>
#include <string>

#include "platform/headless/headless_platform.h"
#include "tools/author/check_host.h"

class HeadlessCheckHost : public CheckHost {
 public:
  explicit HeadlessCheckHost(HeadlessPlatform& disc) : disc_(disc) {}
  Platform& platform() override { return disc_; }
  DiscFile Find(const Text& windowsPath) override;
  std::string Head(const DiscFile& file, std::size_t bytes) override;
  PictureInfo Picture(const DiscFile& file) override;
  std::vector<DiscName> AllNames() override;
  std::vector<ProgramEffect> TakeEffects() override;
  void SetDecimalSeparator(wchar_t separator) override { disc_.decimalSeparator = separator; }

 private:
  HeadlessPlatform& disc_;
  std::map<std::string, PictureInfo> pictures_;
};
