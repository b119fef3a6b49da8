#include "tools/author/newdisc.h"

#include "tools/author/starter_disc.h"

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

// The Linux program shipped beside the Windows one; empty when there is none.
std::string ProgramBeside(const std::string& exe) {
  std::size_t slash = exe.rfind('/');
  std::string program = (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "velmaro";
  struct stat st;
  if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::string();
  std::ifstream in(program, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
  for (const StarterFile& f : StarterFiles()) {
    if (!Write(folder + "/" + f.name, f.bytes)) {
      *error = "cannot write " + folder + "/" + f.name;
      return false;
    }
  }
  for (const StarterPicture& p : StarterPictures()) {
    if (!Picture(folder + "/" + p.name, p.width, p.height, p.red, p.green, p.blue, p.title)) {
      *error = "cannot write the pictures in " + folder + "/images";
      return false;
    }
  }
  if (!exe.empty()) {
    if (!Write(folder + "/velmaro.exe", program)) {
      *error = "cannot write " + folder + "/velmaro.exe";
      return false;
    }
    for (const StarterFile& f : LinuxStartFiles(ProgramBeside(exe))) {
      std::string path = folder + "/" + f.name;
      if (!Write(path, f.bytes) || chmod(path.c_str(), 0755) != 0) {
        *error = "cannot write " + path;
        return false;
      }
    }
  }
  return true;
}
