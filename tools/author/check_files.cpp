#include "tools/author/check_files.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <map>

#include "platform/errors.h"
#include "tools/author/check_wording.h"
#include "tools/author/edit_distance.h"

using wording::Quote;

const Text kDiscRoot = L"D:\\";

namespace {
// 8K UHD in twips at 96 DPI: a picture beyond it is shown on no screen whole.
constexpr TwipSize kLargestScreen{7680 * 15, 4320 * 15};
}  // namespace

namespace {

Text Upper(Text s) {
  for (auto& c : s)
    c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return s;
}

}  // namespace

std::vector<Text> ReadConfigLines(const Text& path, TextEncoding* encoding) {
  std::vector<Text> lines;
  try {
    FileCloser closer;
    FileOpen(path);
    if (encoding) *encoding = FileEncoding();
    while (!AtEndOfFile())
      lines.push_back(LineInput());
  } catch (const AppError&) {
  }
  return lines;
}

DiscFile FileChecks::Named(const Text& relative,
                           const std::string& file,
                           long line,
                           long column,
                           const std::string& missing) {
  DiscFile found = host_.Find(kDiscRoot + relative);
  if (!found.Found()) {
    Finding& finding = findings_.Add(file, line, column, Severity::Error, "file-missing",
                                     Quote(relative) + " is missing: " + missing);
    WhyNotFound(finding, found);
    SuggestNear(finding, relative);
  } else if (found.caseDiffers) {
    findings_.Add(file, line, column, Severity::Warning, "case-only",
                  Quote(relative) + " is on the disc only as " + Quote(FromUtf8(found.name)) +
                      ": found on a disc, where letter case does not matter, but check the name");
  }
  return found;
}

std::string FileChecks::Encoding(const std::string& file, TextEncoding encoding) {
  const std::vector<Text>& lines = findings_.read[file];
  if (encoding == TextEncoding::Utf8) Utf8Guess(file, lines);
  if (encoding != TextEncoding::Ansi) return wording::Encoding(encoding, options_.codePage);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Bytes outside ASCII decode to characters beyond it in every code page.
    for (std::size_t c = 0; c < lines[i].size(); ++c) {
      if (static_cast<unsigned long>(lines[i][c]) < 0x80) continue;
      findings_.Add(file, static_cast<long>(i + 1), static_cast<long>(c + 1), Severity::Warning, "ansi-bytes",
                    file +
                        " is ANSI text with characters outside ASCII: on a Windows set to another code page "
                        "they show as other characters; save it as UTF-8");
      return wording::Encoding(encoding, options_.codePage);
    }
  }
  return wording::Encoding(encoding, options_.codePage);
}

// A file without a mark is read as UTF-8 when it is valid UTF-8, and an ANSI file can be that by accident
// (CP1251 "Ні" is the bytes CD B3): the author sees the first such text as it will show.
void FileChecks::Utf8Guess(const std::string& file, const std::vector<Text>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Text& line = lines[i];
    std::size_t at = 0;
    while (at < line.size() && static_cast<unsigned long>(line[at]) < 0x80)
      ++at;
    if (at == line.size()) continue;
    std::size_t start = line.find_last_of(L" |\t", at), end = line.find_first_of(L" |\t", at);
    start = start == Text::npos ? 0 : start + 1;
    Text word = line.substr(start, end == Text::npos ? Text::npos : end - start);
    findings_.Add(file, static_cast<long>(i + 1), static_cast<long>(at + 1), Severity::Note, "utf8-guess",
                  file +
                      " has no mark and is entirely valid UTF-8, so the program reads it as UTF-8: this "
                      "shows as " +
                      Quote(word) +
                      "; if the file was saved as ANSI text, it shows other "
                      "characters: save it as UTF-8 with a mark");
    return;
  }
}

void FileChecks::Picture(const Text& relative,
                         const std::string& file,
                         long line,
                         const std::string& window) {
  if (relative.empty()) {
    findings_.Add(file, line, 1, Severity::Error, "file-missing",
                  "no picture is named: the " + window + " shows an empty box of 361 x 241 pixels");
    return;
  }
  DiscFile found =
      Named(relative, file, line, 1, "the " + window + " shows an empty box of 361 x 241 pixels");
  if (!found.IsFile()) return;
  PictureInfo info = host_.Picture(found);
  if (!info.shown && !info.format.empty())
    findings_.Add(file, line, 1, Severity::Error, "picture-format",
                  Quote(relative) + " is " + info.format +
                      ", a format the program does not show (BMP, JPEG, GIF, PNG, ICO, WMF, EMF): the " +
                      window + " shows an empty box");
  else if (!info.decodes)
    findings_.Add(file, line, 1, Severity::Error, "picture-unreadable",
                  Quote(relative) + " cannot be decoded as a picture: the " + window + " shows an empty box");
  else if (info.size.width > kLargestScreen.width || info.size.height > kLargestScreen.height)
    findings_.Add(file, line, 1, Severity::Warning, "picture-huge",
                  Quote(relative) + " is " + std::to_string(std::lround(info.size.width / 15)) + " x " +
                      std::to_string(std::lround(info.size.height / 15)) +
                      " pixels, larger than any screen: the " + window +
                      " window is cut off by the screen, and the user's machine takes long and much memory "
                      "to load it; scale it to the size it is shown at");
}

bool FileChecks::IsWave(const DiscFile& file) {
  std::string header = host_.Head(file, 12);
  return header.size() == 12 && header.compare(0, 4, "RIFF") == 0 && header.compare(8, 4, "WAVE") == 0;
}

void FileChecks::Sound(const Text& relative,
                       const std::string& file,
                       long line,
                       long column,
                       const std::string& what) {
  DiscFile found = Named(relative, file, line, column, what + " plays nothing");
  if (found.IsFile() && !IsWave(found))
    findings_.Add(file, line, column, Severity::Warning, "not-wave",
                  Quote(relative) + " is not a RIFF/WAVE file: " + what + " plays nothing");
}

void FileChecks::WhyNotFound(Finding& finding, const DiscFile& file) {
  std::string name = Quote(FromUtf8(file.name));
  std::string why;
  switch (file.status) {
    case LookupStatus::LinkOutside:
      why = name + " is a link out of the disc's folder: the burned disc will not hold what it points at";
      break;
    case LookupStatus::LinkBroken:
      why = name + " is a link that leads to nothing, or round in a loop";
      break;
    case LookupStatus::NotRegular:
      why = name + " is a FIFO, a device or a socket, not a file a disc can hold";
      break;
    case LookupStatus::NormalisationOnly:
      why = name +
            " is on the disc with its letters composed otherwise (as a Mac writes accents): it looks "
            "the same, but Windows does not find it by the name written here";
      break;
    case LookupStatus::Refused:
      why =
          "Windows opens nothing by that name: it holds a drive, a \":\" or one of < > \" | * ?, or names a "
          "device such as NUL";
      break;
    default:
      if (file.isFolder) why = name + " is a folder, not a file";
      break;
  }
  if (!why.empty()) finding.notes.push_back({finding.file, finding.line, finding.column, why});
}

const std::vector<DiscName>& FileChecks::AllNames() {
  if (!names_) names_ = host_.AllNames();
  return *names_;
}

void FileChecks::SuggestNear(Finding& finding, const Text& relative) {
  // The name as the disc would hold it: folders split at either slash, compared without letter case.
  Text wanted = Upper(relative);
  for (auto& c : wanted)
    if (c == L'\\') c = L'/';
  while (!wanted.empty() && wanted.front() == L'/')
    wanted.erase(0, 1);
  std::size_t slash = wanted.rfind(L'/');
  Text folder = slash == Text::npos ? Text() : wanted.substr(0, slash + 1);
  Text stem = wanted.substr(folder.size());
  stem = stem.substr(0, stem.rfind(L'.'));
  const DiscName* best = nullptr;
  std::size_t bestDistance = 3;
  for (const DiscName& entry : AllNames()) {
    if (entry.isFolder) continue;
    Text name = Upper(FromUtf8(entry.name));
    if (name.compare(0, folder.size(), folder) != 0 || name.find(L'/', folder.size()) != Text::npos) continue;
    Text other = name.substr(folder.size());
    std::size_t distance = EditDistance(wanted.substr(folder.size()), other);
    if (other.substr(0, other.rfind(L'.')) == stem && !stem.empty())
      distance = std::min<std::size_t>(distance, 1);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = &entry;
    }
  }
  if (!best) return;
  // Written as the author writes paths: with backslashes.
  Text near = FromUtf8(best->name);
  for (auto& c : near)
    if (c == L'/') c = L'\\';
  finding.notes.push_back({finding.file, finding.line, finding.column, "did you mean " + Quote(near) + "?"});
  finding.fix = wording::Utf8(near);
}

void FileChecks::Names() {
  // Per folder, the names seen in upper case: a disc keeps one of two that differ only in case.
  std::map<std::string, std::map<std::string, std::string>> seen;
  for (const DiscName& entry : AllNames()) {
    std::size_t slash = entry.name.rfind('/');
    std::string folder = slash == std::string::npos ? "" : entry.name.substr(0, slash);
    std::string name = slash == std::string::npos ? entry.name : entry.name.substr(slash + 1);
    Text wide = FromUtf8(name);
    // A disc counts UTF-16 units; where wchar_t is wider, a character beyond the first plane takes two.
    std::size_t units = wide.size();
    if constexpr (sizeof(wchar_t) > 2)
      units += static_cast<std::size_t>(std::count_if(
          wide.begin(), wide.end(), [](wchar_t c) { return (static_cast<uint32_t>(c) >> 16) != 0; }));
    if (units > 64)
      findings_.Add(entry.name, 0, 0, Severity::Warning, "name-mangled",
                    "the name has " + std::to_string(units) +
                        " characters; a disc keeps 64, so the program will not find it by this name");
    if (wide.find_first_of(L"*?:\"<>|\\") != Text::npos)
      findings_.Add(
          entry.name, 0, 0, Severity::Warning, "name-mangled",
          "the name holds a character a disc cannot store (* ? : \" < > | \\): it is changed when burned");
    std::string key = wording::Utf8(Upper(wide));
    auto& names = seen[folder];
    auto twin = names.find(key);
    if (twin != names.end())
      findings_.Add(
          entry.name, 0, 0, Severity::Warning, "name-mangled",
          "differs from " + Quote(FromUtf8(twin->second)) + " only in letter case: a disc keeps one of them");
    names[key] = name;
    if (entry.kind == EntryKind::LinkOutside)
      findings_.Add(
          entry.name, 0, 0, Severity::Warning, "disc-link",
          "a symbolic link out of the disc's folder: the burned disc will not hold what it points at; "
          "copy the file or folder in instead");
    else if (entry.kind == EntryKind::LinkBroken)
      findings_.Add(entry.name, 0, 0, Severity::Warning, "disc-link",
                    "a symbolic link that leads to nothing, or round in a loop: the disc holds nothing here");
    else if (entry.kind == EntryKind::Special)
      findings_.Add(entry.name, 0, 0, Severity::Warning, "disc-link",
                    "a FIFO, a device or a socket: a disc holds only files and folders");
  }
}

void FileChecks::Autorun() {
  DiscFile found = host_.Find(kDiscRoot + L"autorun.inf");
  if (!found.Found()) {
    findings_.Add("autorun.inf", 0, 0, Severity::Warning, "autorun",
                  "autorun.inf is missing: the disc does not start the program when it is inserted");
    return;
  }
  const std::vector<Text>& lines = findings_.read["autorun.inf"] =
      ReadConfigLines(kDiscRoot + L"autorun.inf");
  bool inSection = false;
  long openLine = 0, iconLine = 0;
  Text open, icon;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Text line = lines[i];
    while (!line.empty() && (line.back() == L' ' || line.back() == L'\t'))
      line.pop_back();
    std::size_t start = line.find_first_not_of(L" \t");
    if (start == Text::npos) continue;
    line = line.substr(start);
    if (line[0] == L';') continue;
    if (line[0] == L'[') {
      inSection = Upper(line) == L"[AUTORUN]";
      continue;
    }
    std::size_t eq = line.find(L'=');
    if (!inSection || eq == Text::npos) continue;
    Text key = Upper(line.substr(0, eq));
    while (!key.empty() && key.back() == L' ')
      key.pop_back();
    Text value = line.substr(eq + 1);
    std::size_t valueStart = value.find_first_not_of(L" \t");
    value.erase(0, valueStart == Text::npos ? value.size() : valueStart);
    if (key == L"OPEN") {
      open = value;
      openLine = static_cast<long>(i + 1);
    } else if (key == L"ICON") {
      icon = value;
      iconLine = static_cast<long>(i + 1);
    }
  }
  Text exe = FromUtf8(options_.exeName);
  Text openFile = open.substr(0, open.find(L' '));
  if (openLine == 0) {
    findings_.Add(
        "autorun.inf", 0, 0, Severity::Error, "autorun",
        "autorun.inf has no open= line in an [autorun] section: the disc does not start the program");
  } else if (Upper(openFile) != Upper(exe)) {
    findings_.Add("autorun.inf", openLine, 1, Severity::Error, "autorun",
                  "open= names " + Quote(openFile) + ", not " + Quote(exe) +
                      ": inserting the disc does not start the menu");
  }
  if (!openFile.empty() && !host_.Find(kDiscRoot + openFile).Found())
    findings_.Add("autorun.inf", openLine, 1, Severity::Note, "exe-missing",
                  Quote(openFile) + " is not in the folder yet: copy it there before the disc is burned");
  // Linux desktops start the disc through autorun.sh, which starts the Linux program: one without the other
  // starts nothing there.
  bool linuxProgram = host_.Find(kDiscRoot + L"velmaro").Found();
  bool autorunSh = host_.Find(kDiscRoot + L"autorun.sh").Found();
  if (linuxProgram && !autorunSh)
    findings_.Add(
        "velmaro", 0, 0, Severity::Warning, "linux-start",
        "the Linux program is on the disc but autorun.sh is not: Linux desktops do not offer to start "
        "the menu");
  if (autorunSh && !linuxProgram)
    findings_.Add("autorun.sh", 0, 0, Severity::Warning, "linux-start",
                  "autorun.sh is on the disc but the Linux program velmaro is not: on Linux the disc starts "
                  "nothing");
  if (iconLine != 0) {
    Text iconFile = icon.substr(0, icon.find(L','));
    if (!host_.Find(kDiscRoot + iconFile).Found() && Upper(iconFile) != Upper(openFile))
      findings_.Add("autorun.inf", iconLine, 1, Severity::Warning, "autorun",
                    "icon= names " + Quote(iconFile) + ", which is missing: the drive shows a plain icon");
  }
}
