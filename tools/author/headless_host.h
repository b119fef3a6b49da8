// The check's questions answered over a folder of this machine, through the simulated machine the program
// runs on (HeadlessPlatform on Linux, WindowsMachine on Windows).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/headless/measure_cache.h"
#include "platform/headless/simulated_machine.h"
#include "tools/author/check.h"
#include "tools/author/check_host.h"

// Pictures of a disc decoded by checks before, each with a digest of the bytes it was decoded from: a check
// after another decodes only the pictures whose files changed.
class KeptPictures {
 public:
  // What `decode` says of the file `name` that `reader` reads, from before while its bytes are the same.
  template <class Decode>
  PictureInfo Find(const std::string& name, DiscFileReader& reader, Decode decode) {
    Digest digest = DigestOf(reader);
    auto kept = pictures_.find(name);
    if (kept != pictures_.end() && kept->second.first == digest) return kept->second.second;
    PictureInfo info = decode();
    pictures_[name] = {digest, info};
    return info;
  }

 private:
  // The length and a 64-bit FNV-1a hash of the bytes.
  using Digest = std::pair<std::uint64_t, std::uint64_t>;
  static Digest DigestOf(DiscFileReader& reader);
  std::map<std::string, std::pair<Digest, PictureInfo>> pictures_;
};

// What checks of one disc one after another keep: captions measured and pictures decoded.
struct CheckMemory {
  MeasureCache measures;
  KeptPictures pictures;
};

class HeadlessCheckHost : public CheckHost {
 public:
  // `kept`, when given, outlives the host and holds pictures decoded by checks before.
  explicit HeadlessCheckHost(SimulatedMachine& disc, KeptPictures* kept = nullptr)
      : disc_(disc), kept_(kept) {}
  Platform& platform() override { return disc_; }
  LookedUpFile Find(const Text& windowsPath) override;
  std::string Head(const LookedUpFile& file, std::size_t bytes) override;
  PictureInfo Picture(const LookedUpFile& file) override;
  std::vector<DiscName> AllNames() override;
  std::vector<ProgramEffect> TakeEffects() override;
  void SetDecimalSeparator(wchar_t separator) override { disc_.decimalSeparator = separator; }

 private:
  SimulatedMachine& disc_;
  KeptPictures* kept_;
  std::map<std::string, PictureInfo> pictures_;
  // The disc stays as it is for a check's length: a name many links give is looked up once, and a sound
  // they play read once.
  std::map<Text, LookedUpFile> found_;
  std::map<std::pair<std::string, std::size_t>, std::string> heads_;
};

// The check of the disc `machine` holds, with `given` files read from memory and the pictures `kept` decoded
// by checks before. The machine is made by the platform's DiscChecker, which alone knows its kind.
CheckResult CheckOnMachine(SimulatedMachine& machine,
                           const GivenFiles& given,
                           KeptPictures& kept,
                           const CheckOptions& options);
