#include "tools/author/newdisc.h"

#include <cairo.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// The folder and each missing folder above it, as mkdir -p.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    if (!MakeFolder(path.substr(0, slash))) return false;
  return MakeFolder(path);
}

bool IsEmptyFolder(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  bool empty = true;
  while (dirent* entry = readdir(dir))
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) empty = false;
  closedir(dir);
  return empty;
}

// The nearest folder at or above `path` that exists, where the new folders would be made.
std::string ExistingAncestor(std::string path) {
  struct stat st;
  while (!path.empty() && stat(path.c_str(), &st) != 0) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
  return path.empty() ? "." : path;
}

// Everything `new` is asked is checked before a byte is written, so a refused disc leaves nothing behind.
bool CheckTarget(const std::string& folder, bool replace, std::string* error) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) {
      *error = folder + " is a file, not a folder";
      return false;
    }
    if (!replace && !IsEmptyFolder(folder)) {
      *error = folder +
               " is not empty: a starter disc would replace its files. Name a new folder, or add "
               "--force to write over them";
      return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
      *error = "cannot write into " + folder + ": " + std::strerror(errno);
      return false;
    }
    return true;
  }
  std::string above = ExistingAncestor(folder);
  if (stat(above.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = "cannot make " + folder + ": " + above + " is not a folder";
    return false;
  }
  if (access(above.c_str(), W_OK | X_OK) != 0) {
    *error = "cannot make " + folder + " in " + above + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

// The program's bytes, read whole before anything is written: a regular file that starts as every Windows
// program does.
bool ReadProgram(const std::string& exe, std::string* bytes, std::string* error) {
  struct stat st;
  if (stat(exe.c_str(), &st) != 0) {
    *error = "--exe " + exe + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "--exe " + exe + " is not a file; name velmaro.exe itself";
    return false;
  }
  std::ifstream in(exe, std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) {
    *error = "--exe " + exe + " cannot be read";
    return false;
  }
  if (bytes->compare(0, 2, "MZ") != 0) {
    *error = "--exe " + exe + " is not a Windows program; name velmaro.exe";
    return false;
  }
  return true;
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

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
    wav += static_cast<char>(128 + std::lround(60 * fade * std::sin(2 * M_PI * hertz * i / rate)));
  }
  return wav;
}

bool Picture(const std::string& path,
             int width,
             int height,
             double r,
             double g,
             double b,
             const char* title) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(fill, 0, r, g, b);
  cairo_pattern_add_color_stop_rgb(fill, 1, r * 0.3, g * 0.3, b * 0.3);
  cairo_set_source(cr, fill);
  cairo_paint(cr);
  cairo_pattern_destroy(fill);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, height / 10.0);
  cairo_move_to(cr, width / 16.0, height - height / 12.0);
  cairo_show_text(cr, title);
  cairo_destroy(cr);
  bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
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

// The Linux program shipped beside the Windows one, when it is there.
std::string LinuxProgramBeside(const std::string& exe) {
  std::size_t slash = exe.rfind('/');
  std::string program = (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "velmaro";
  struct stat st;
  if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::string();
  std::ifstream in(program, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.compare(0, 4,
                       "\x7f"
                       "ELF") == 0
             ? bytes
             : std::string();
}

}  // namespace

bool WriteStarterDisc(const std::string& folder, const std::string& exe, bool replace, std::string* error) {
  std::string program;
  if (!CheckTarget(folder, replace, error) || (!exe.empty() && !ReadProgram(exe, &program, error)))
    return false;
  if (!MakeFolders(folder)) {
    *error = "cannot make the folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  for (const char* sub : {"/images", "/sounds", "/docs", "/tools"}) {
    if (!MakeFolder(folder + sub)) {
      *error = "cannot make the folder " + folder + sub;
      return false;
    }
  }
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
  struct File {
    std::string name, bytes;
  };
  const std::vector<File> files = {
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
  for (const File& f : files) {
    if (!Write(folder + "/" + f.name, f.bytes)) {
      *error = "cannot write " + folder + "/" + f.name;
      return false;
    }
  }
  if (!Picture(folder + "/images/splash.png", 400, 240, 0.2, 0.4, 0.9, "My Disc") ||
      !Picture(folder + "/images/menu.png", 640, 480, 0.1, 0.3, 0.6, "My Disc")) {
    *error = "cannot write the pictures in " + folder + "/images";
    return false;
  }
  if (!exe.empty()) {
    if (!Write(folder + "/velmaro.exe", program)) {
      *error = "cannot write " + folder + "/velmaro.exe";
      return false;
    }
    // The Linux program and autorun.sh go together: either alone starts nothing on Linux.
    std::string linuxProgram = LinuxProgramBeside(exe);
    if (!linuxProgram.empty() &&
        (!Write(folder + "/velmaro", linuxProgram) || chmod((folder + "/velmaro").c_str(), 0755) != 0 ||
         !Write(folder + "/autorun.sh", kAutorunSh) || chmod((folder + "/autorun.sh").c_str(), 0755) != 0)) {
      *error = "cannot write the Linux program and autorun.sh in " + folder;
      return false;
    }
  }
  return true;
}
