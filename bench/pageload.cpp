// Page-load benchmark: page 0 of a large menu.inf loaded by the program's own LoadMenuPage on the recording
// fake, side by side with reading the same file's lines with std::getline, in the same run. Both sides are
// timed (median of alternating repetitions) and their heap is counted: the peak of bytes live during each,
// above what was live when it began. The file is generated, about 60 bytes a line, 20 links a page.
//
//   bench_pageload [folder]   the generated files go to folder (default: the current one) and are removed
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/fake/fake_platform.h"

// --- Heap accounting: every operator new/delete of the process goes through these. ---

namespace {

std::size_t heapLive = 0;
std::size_t heapPeak = 0;

void* Allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  heapLive += malloc_usable_size(p);
  heapPeak = std::max(heapPeak, heapLive);
  return p;
}

void Release(void* p) noexcept {
  if (!p) return;
  heapLive -= malloc_usable_size(p);
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  Release(p);
}

namespace {

// Resident set: the kernel's high-water mark since the last reset, and the current size.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

void ResetResidentPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

struct Measure {
  double seconds = 0;
  std::size_t heapBytes = 0;  // peak live heap above the start
  long residentKb = 0;        // peak resident set above the start
};

Measure Run(const std::function<void()>& work) {
  malloc_trim(0);
  ResetResidentPeak();
  long residentStart = StatusKb("VmRSS:");
  std::size_t heapStart = heapLive;
  heapPeak = heapLive;
  auto begin = std::chrono::steady_clock::now();
  work();
  auto end = std::chrono::steady_clock::now();
  Measure m;
  m.seconds = std::chrono::duration<double>(end - begin).count();
  m.heapBytes = heapPeak - heapStart;
  m.residentKb = std::max(0L, StatusKb("VmHWM:") - residentStart);
  return m;
}

// Link i of the file: page i / 20, the links of a page mixing the kinds of action a real menu has.
std::string MenuFile(std::size_t lines) {
  static const char* const kActions[] = {"0|setup.exe -s|", "3|docs\\guide.pdf|", "1|https://example.org/|",
                                         "5|1|", "8|sounds\\hi.wav|"};
  std::string out;
  out.reserve(lines * 64);
  char line[160];
  for (std::size_t i = 0; i < lines; ++i) {
    int link = static_cast<int>(i % 20);
    int n = std::snprintf(line, sizeof line, "%zu|%d|Link %d|Verdana|1012|16777215|65535|240|%d|%s\r\n",
                          i / 20, link, link + 1, 300 + 400 * link, kActions[link % 5]);
    out.append(line, static_cast<std::size_t>(n));
  }
  return out;
}

// The only lines that know how the fake holds its disc.
void PutOnDisc(FakePlatform& fake, const Text& path, const std::string& bytes) {
  fake.AddFile(path, bytes);
}

Measure Median(std::vector<Measure> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
  Measure m = runs[runs.size() / 2];
  for (const Measure& r : runs) {  // memory: the worst run
    m.heapBytes = std::max(m.heapBytes, r.heapBytes);
    m.residentKb = std::max(m.residentKb, r.residentKb);
  }
  return m;
}

std::string Mib(double bytes) {
  char buf[32];
  if (bytes < 1024 * 1024)
    std::snprintf(buf, sizeof buf, "%.1f KiB", bytes / 1024);
  else
    std::snprintf(buf, sizeof buf, "%.1f MiB", bytes / (1024 * 1024));
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  struct Size {
    std::size_t lines;
    int repetitions;
  };
  const Size sizes[] = {{10000, 21}, {1000000, 3}};

  FakePlatform fake;
  PutOnDisc(fake, L"D:\\kavo.inf", "001\r\n\r\n\r\nmenu.bmp\r\n\r\n\r\n");
  PutOnDisc(fake, L"D:\\menu.inf", "");
  fake.Start();

  std::printf("%9s %8s %6s | %11s %11s %7s | %13s %13s | %11s %11s | %10s %10s\n", "lines", "bytes/ln", "MiB",
              "getline ms", "load ms", "ratio", "getline ln/s", "load ln/s", "getline pk", "load pk",
              "getline RSS", "load RSS");
  for (const Size& size : sizes) {
    std::string bytes = MenuFile(size.lines);
    std::filesystem::path file = folder / ("menu-" + std::to_string(size.lines) + ".inf");
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    PutOnDisc(fake, L"D:\\menu.inf", bytes);
    const double megabytes = bytes.size() / (1024.0 * 1024.0);
    const double bytesPerLine = static_cast<double>(bytes.size()) / size.lines;
    bytes = std::string();

    std::size_t read = 0;
    auto getlines = [&] {
      std::ifstream in(file, std::ios::binary);
      std::string line;
      read = 0;
      while (std::getline(in, line))
        ++read;
    };
    auto load = [&] { LoadMenuPage(0); };

    std::vector<Measure> getlineRuns, loadRuns;
    for (int r = 0; r < size.repetitions; ++r) {
      getlineRuns.push_back(Run(getlines));
      loadRuns.push_back(Run(load));
      fake.TakeTranscript();
    }
    if (read != size.lines || !menuReady || !lblLink(19).Visible() || lblLink(20).Visible()) {
      std::fprintf(stderr, "pageload: the file was not read as written (%zu lines)\n", read);
      return 1;
    }
    std::filesystem::remove(file);

    Measure g = Median(getlineRuns), l = Median(loadRuns);
    std::printf("%9zu %8.1f %6.1f | %11.1f %11.1f %6.1fx | %13.3g %13.3g | %11s %11s | %10s %10s\n",
                size.lines, bytesPerLine, megabytes, g.seconds * 1e3, l.seconds * 1e3, l.seconds / g.seconds,
                size.lines / g.seconds, size.lines / l.seconds, Mib(g.heapBytes).c_str(),
                Mib(l.heapBytes).c_str(), Mib(g.residentKb * 1024.0).c_str(),
                Mib(l.residentKb * 1024.0).c_str());
  }
  std::printf(
      "Times: median of alternating runs. pk: peak heap bytes live during the read above those live before "
      "it. "
      "RSS: growth of the peak resident set.\n");
  return 0;
}
