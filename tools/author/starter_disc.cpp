#include "tools/author/starter_disc.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines)
    out += line + "\r\n";
  return out;
}

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

// A short tone as 8-bit mono PCM: the smallest WAV every Windows plays.
std::string Tone(double hertz, double seconds) {
  const uint32_t rate = 11025, samples = static_cast<uint32_t>(rate * seconds);
  std::string wav = "RIFF";
  Put32(wav, 36 + samples);
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 1);  // mono
  Put32(wav, rate);
  Put32(wav, rate);
  Put16(wav, 1);
  Put16(wav, 8);
  wav += "data";
  Put32(wav, samples);
  for (uint32_t i = 0; i < samples; ++i) {
    double fade = 1.0 - static_cast<double>(i) / samples;
    wav += static_cast<char>(128 + std::lround(60 * fade * std::sin(2 * kPi * hertz * i / rate)));
  }
  return wav;
}

const char* const kReadme =
    "This is a starter disc. Change it, then check it before you burn it:\r\n"
    "\r\n"
    "  velmaro-author check DISC      what the program will do, and every mistake, with its line\r\n"
    "  velmaro-author preview DISC    each page as a picture, as the program lays it out\r\n"
    "\r\n"
    "autorun.inf   starts velmaro.exe when the disc is inserted\r\n"
    "kavo.inf      line 1: splash, launch, menu flags (\"101\": splash, no launch, menu); then the splash\r\n"
    "              picture, the launch command, the menu picture, the background and mouse-over sounds\r\n"
    "menu.inf      one link a line: "
    "page|link|caption|font|style|colour|highlight|left|top|action|argument|\r\n"
    "              style: bold flag, italic flag, size in points (1012 is bold 12 pt)\r\n"
    "              colours: 0x00BBGGRR as a decimal number (16777215 white, 65535 yellow)\r\n"
    "              left, top: twips from the picture's top-left corner (15 to a pixel)\r\n"
    "              actions: 0 program, 1 URL, 2 mail, 3 document, 4 disc folder, 5 page, 6 quit,\r\n"
    "              7 heading, 8 sound\r\n";

// Linux desktops offer to run autorun.sh from a medium's root, through /bin/sh where it has no execute bit.
// The program is started through its loader, so it runs from a disc that keeps no execute bits either.
const char* const kAutorunSh =
    "#!/bin/sh\n"
    "# Shows the disc's menu on a Linux desktop; velmaro.exe does the same on Windows.\n"
    "cd \"$(dirname \"$0\")\" || exit 1\n"
    "exec /lib64/ld-linux-x86-64.so.2 \"$PWD/velmaro\" \"$@\"\n";

}  // namespace

std::vector<StarterFile> LinuxStartFiles(const std::string& program) {
  if (program.compare(0, 4,
                      "\x7f"
                      "ELF") != 0)
    return {};
  return {{"velmaro", program}, {"autorun.sh", kAutorunSh}};
}

std::vector<StarterFile> StarterFiles() {
  const std::string white = "16777215", yellow = "65535", grey = "12632256";
  // A heading (type 7) keeps its colour under the pointer: it is no link.
  auto link = [&](int page, int index, const std::string& caption, const std::string& style, int top,
                  const std::string& action) {
    return std::to_string(page) + "|" + std::to_string(index) + "|" + caption + "|Verdana|" + style + "|" +
           (action == "7|" ? grey + "|" + grey : white + "|" + yellow) + "|900|" + std::to_string(top) + "|" +
           action;
  };
  std::vector<std::string> menu = {
      link(0, 0, "Welcome", "1116", 600, "7|"),
      link(0, 1, "&Install", "1012", 1500, "0|tools\\hello.cmd -from the disc|"),
      link(0, 2, "Read me", "0012", 1980, "3|docs\\readme.txt|"),
      link(0, 3, "Visit the website", "0012", 2460, "1|https://example.org/|"),
      link(0, 4, "Write to us", "0012", 2940, "2|info@example.org|"),
      link(0, 5, "Browse the disc", "0012", 3420, "4|"),
      link(0, 6, "Play a greeting", "0012", 3900, "8|sounds\\hello.wav|"),
      link(0, 7, "More", "0110", 4380, "5|1|"),
      link(0, 8, "&Quit", "1012", 5340, "6|"),
      link(1, 0, "More", "1116", 600, "7|"),
      link(1, 1, "Back", "0012", 1500, "5|0|"),
  };
  return {
      {"autorun.inf", CrLf({"[autorun]", "open=velmaro.exe", "icon=velmaro.exe,0", "label=My Disc"})},
      {"kavo.inf",
       CrLf({"101", "images\\splash.png", "", "images\\menu.png", "sounds\\intro.wav", "sounds\\over.wav"})},
      {"menu.inf", CrLf(menu)},
      {"docs/readme.txt", kReadme},
      {"tools/hello.cmd", CrLf({"@echo Hello from the disc: %*", "@pause"})},
      {"sounds/intro.wav", Tone(440, 0.4)},
      {"sounds/over.wav", Tone(880, 0.05)},
      {"sounds/hello.wav", Tone(660, 0.3)},
  };
}

std::vector<StarterPicture> StarterPictures() {
  return {{"images/splash.png", 400, 240, 0.2, 0.4, 0.9, "My Disc"},
          {"images/menu.png", 640, 480, 0.1, 0.3, 0.6, "My Disc"}};
}
