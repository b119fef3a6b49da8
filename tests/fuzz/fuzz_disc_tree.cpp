// Random disc folders for the author tools' checker: files, folders, links inside, out and in loops, FIFOs,
// from a small alphabet of names that the configuration files also use. The checker must end (libFuzzer's
// -timeout catches a hang on a FIFO or a walk without end), never crash, and never hand back a place
// outside the folder.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "check.h"
#include "platform/headless/headless_platform.h"
#include "tools/author/check.h"

namespace fs = std::filesystem;

namespace {

const char* const kNames[] = {"kavo.inf", "menu.inf", "autorun.inf", "a",
                              "B",        "x.png",    "s.wav",       "velmaro.exe"};
const char* const kInside[] = {".", "..", "a", "x.png", "a/x.png", "../a", "B/../x.png", "loop", "../.."};
const char* const kOutside[] = {
    "/", "/dev/zero", "../../outside.png", "../outside.png", "/nonexistent", "../../../../.."};
const char* const kWindowsNames[] = {"x.png",     "a\\x.png",     "..\\x.png", "..\\..\\outside.png",
                                     "A\\X.PNG",  "s.wav",        "a/s.wav",   "\\\\server\\x.png",
                                     "C:\\x.png", "b\\..\\s.wav", "x.png. ",   "loop\\loop\\x.png"};

// A folder for the whole run, with bait beside the disc.
class Scratch {
 public:
  Scratch() {
    char name[] = "/tmp/velmaro-fuzz-disc-XXXXXX";
    root_ = mkdtemp(name);
    std::ofstream(root_ + "/outside.png") << "\x89PNG\r\n\x1a\n";
  }
  ~Scratch() { fs::remove_all(root_); }
  std::string disc() const { return root_ + "/disc"; }

 private:
  std::string root_;
};

class Reader {
 public:
  Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  template <std::size_t N>
  const char* Pick(const char* const (&list)[N]) {
    return list[Byte() % N];
  }
  std::string Bytes(std::size_t most) {
    std::size_t n = std::min<std::size_t>(Byte() % (most + 1), size_ - std::min(at_, size_));
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }

 private:
  const uint8_t* data_;
  std::size_t size_, at_ = 0;
};

std::string Contents(Reader& in) {
  switch (in.Byte() % 5) {
    case 0: {
      std::string kavo = "111\r\n";
      for (int line = 2; line <= 6; ++line)
        kavo += std::string(in.Pick(kWindowsNames)) + "\r\n";
      return kavo;
    }
    case 1: {
      std::string menu;
      for (const char* action : {"0", "3", "8", "5"})
        menu += std::string("0|") + std::to_string(menu.size() % 50) + "|L|Verdana|0012|0|255|0|0|" + action +
                "|" + in.Pick(kWindowsNames) + "|\r\n";
      return menu;
    }
    case 2:
      return std::string("RIFF\0\0\0\0WAVE", 12) + in.Bytes(16);
    case 3:
      return "[autorun]\r\nopen=" + std::string(in.Pick(kWindowsNames)) +
             "\r\nicon=" + in.Pick(kWindowsNames) + "\r\n";
    default:
      return in.Bytes(64);
  }
}

void Build(Reader& in, const std::string& disc) {
  fs::create_directories(disc);
  std::string at = disc;
  for (int step = 0; step < 32 && in.more(); ++step) {
    std::string place = at + "/" + in.Pick(kNames);
    uint8_t what = in.Byte() % 7;
    // Never write over a name: through a link it would write outside, into a FIFO it would block.
    struct stat st;
    bool taken = lstat(place.c_str(), &st) == 0;
    if (taken && what != 6) continue;
    switch (what) {
      case 0:
      case 1:
        std::ofstream(place, std::ios::binary) << Contents(in);
        break;
      case 2:
        mkdir(place.c_str(), 0700);
        break;
      case 3:
        (void)symlink(in.Pick(kInside), place.c_str());
        break;
      case 4:
        (void)symlink(in.Pick(kOutside), place.c_str());
        break;
      case 5:
        mkfifo(place.c_str(), 0600);
        break;
      default: {
        // Into a real folder of the disc, or back to its root.
        if (taken && S_ISDIR(st.st_mode) && at.size() < disc.size() + 40)
          at = place;
        else
          at = disc;
      }
    }
  }
}

}  // namespace

// Fontconfig loses a few bytes the first time a font is looked up; leaks of our own still count.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static Scratch scratch;
  const std::string disc = scratch.disc();
  fs::remove_all(disc);
  Reader in(data, size);
  Build(in, disc);

  CheckResult result = CheckDisc(disc);
  FUZZ_CHECK(result.readable);
  {
    HeadlessPlatform platform(disc);
    for (const char* name : kWindowsNames) {
      HeadlessPlatform::Resolved r = platform.Resolve(L"D:\\" + FromUtf8(name));
      FUZZ_CHECK(r.path.empty() || r.path == disc || r.path.rfind(disc + "/", 0) == 0);
      FUZZ_CHECK(r.path.find("/../") == std::string::npos);
      FUZZ_CHECK(r.path.empty() == (r.status != LookupStatus::Found));
    }
    std::size_t names = 0;
    for (const HostDisc::WalkEntry& e : platform.Walk()) {
      FUZZ_CHECK(e.relative.find("..") == std::string::npos);
      ++names;
    }
    FUZZ_CHECK(names < 10000);
  }
  fs::remove_all(disc);
  return 0;
}
