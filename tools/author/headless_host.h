// The check's questions answered over a folder of this machine, through the simulated machine the program
// runs on (HeadlessPlatform on Linux, WindowsMachine on Windows).
#pragma once

#include <map>
#include <string>

#include "platform/headless/simulated_machine.h"
#include "tools/author/check_host.h"

class HeadlessCheckHost : public CheckHost {
 public:
  explicit HeadlessCheckHost(SimulatedMachine& disc) : disc_(disc) {}
  Platform& platform() override { return disc_; }
  LookedUpFile Find(const Text& windowsPath) override;
  std::string Head(const LookedUpFile& file, std::size_t bytes) override;
  PictureInfo Picture(const LookedUpFile& file) override;
  std::vector<DiscName> AllNames() override;
  std::vector<ProgramEffect> TakeEffects() override;
  void SetDecimalSeparator(wchar_t separator) override { disc_.decimalSeparator = separator; }

 private:
  SimulatedMachine& disc_;
  std::map<std::string, PictureInfo> pictures_;
};
