#include "tools/author/check.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "launch/launch.h"
#include "menu/fields.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/headless/headless_platform.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "startup/frmMain.h"
#include "startup/kavo.h"

namespace {

const Text kRoot = L"D:\\";

std::string Utf8(const Text& t) {
  return ToUtf8(t);
}

std::string Quote(const Text& t) {
  return "\"" + ToUtf8(t) + "\"";
}

std::string JoinNumbers(const std::vector<int>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    // Runs of three or more read as a range.
    std::size_t j = i;
    while (j + 1 < values.size() && values[j + 1] == values[j] + 1)
      ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(values[i]);
    if (j >= i + 2) {
      out += "-" + std::to_string(values[j]);
      i = j;
    }
  }
  return out;
}

// Every line of a configuration file, read by the program's own reader; blank lines kept in place.
std::vector<Text> ReadLines(const Text& path, TextEncoding* encoding = nullptr) {
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

// Where field `field` (1-based) of a line starts, as NextField takes the fields off: 1-based.
long FieldColumn(const Text& line, int field) {
  Text rest = line, taken;
  for (int i = 1; i < field; ++i) {
    try {
      NextField(taken, rest);
    } catch (const AppError&) {
      return static_cast<long>(line.size()) + 1;
    }
  }
  return static_cast<long>(line.size() - rest.size()) + 1;
}

// Field `field` of a line, or nothing when the line ends before it.
bool FieldOf(const Text& line, int field, Text* value) {
  Text rest = line;
  try {
    for (int i = 1; i <= field; ++i)
      NextField(*value, rest);
  } catch (const AppError&) {
    return false;
  }
  return true;
}

const char* const kFieldNames[] = {"",          "page field", "link index",  "caption",
                                   "font name", "style",      "text colour", "highlight colour",
                                   "left",      "top",        "action type", "action argument"};

std::string Describe(ErrorKind kind, int field, const Text& value) {
  std::string name = field >= 1 && field <= 11 ? kFieldNames[field] : "line";
  switch (kind) {
    case ErrorKind::InvalidArgument:
      return field <= 1 ? "the line has no \"|\" after its page field" : "the line ends before its " + name;
    case ErrorKind::TypeMismatch:
      if (field == 5) return "the style " + Quote(value) + " is not a bold flag, an italic flag and a size";
      return "the " + name + " " + Quote(value) + " is not a number";
    case ErrorKind::Overflow:
      return "the " + name + " " + Quote(value) + " is out of range";
    case ErrorKind::NoSuchControl:
    case ErrorKind::SubscriptOutOfRange:
      return "the link index " + Quote(value) + " names no link; links are 0 to 49";
    default:
      return std::string("the line fails (") + ErrorKindName(kind) + ")";
  }
}

std::string EncodingName(TextEncoding e, const std::string& codePage) {
  switch (e) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf8WithMark:
      return "UTF-8 with a mark";
    case TextEncoding::Utf16Le:
      return "UTF-16 LE";
    default:
      return "ANSI (" + codePage + ")";
  }
}

bool IsWave(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  char header[12] = {};
  in.read(header, sizeof header);
  return in.gcount() == 12 && std::string(header, 4) == "RIFF" && std::string(header + 8, 4) == "WAVE";
}

class Checker {
 public:
  Checker(const std::string& folder, const CheckOptions& options)
      : folder_(folder), options_(options), disc_(folder) {
    disc_.codePage = options.codePage;
  }

  CheckResult Run() {
    struct stat st;
    DIR* dir = opendir(folder_.c_str());
    result_.readable = dir != nullptr && stat(folder_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (dir) closedir(dir);
    if (!result_.readable) return result_;
    Kavo();
    Menu();
    Names("", folder_);
    Autorun();
    std::stable_sort(result_.findings.begin(), result_.findings.end(),
                     [](const Finding& a, const Finding& b) {
                       return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
                     });
    KeepSourceLines();
    return std::move(result_);
  }

 private:
  // The lines findings point into, as the program read them.
  void KeepSourceLines() {
    auto keep = [&](const std::string& file, long line) {
      auto read = read_.find(file);
      if (line <= 0 || read == read_.end() || line > static_cast<long>(read->second.size())) return;
      result_.sourceLines[file][line] = Utf8(read->second[static_cast<std::size_t>(line - 1)]);
    };
    for (const Finding& f : result_.findings) {
      keep(f.file, f.line);
      for (const FindingNote& n : f.notes)
        keep(n.file, n.line);
    }
  }

  void Add(std::string file,
           long line,
           long column,
           Severity severity,
           std::string code,
           std::string message) {
    result_.findings.push_back(
        {std::move(file), line, column, severity, std::move(code), std::move(message), {}, {}});
  }

  // A file a configuration line names: missing, present only in other letter case, or there.
  HeadlessPlatform::Resolved Named(const Text& relative,
                                   const std::string& file,
                                   long line,
                                   long column,
                                   const std::string& missing) {
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + relative);
    if (r.path.empty()) {
      Add(file, line, column, Severity::Error, "file-missing", Quote(relative) + " is missing: " + missing);
    } else if (r.caseDiffers) {
      Add(file, line, column, Severity::Warning, "case-only",
          Quote(relative) + " is on the disc only as " + Quote(FromUtf8(r.path.substr(folder_.size() + 1))) +
              ": found on a disc, where letter case does not matter, but check the name");
    }
    return r;
  }

  // Says what a configuration file was read as; an ANSI file with bytes outside ASCII reads as other
  // characters on a Windows set to another code page.
  void Encoding(const std::string& file, TextEncoding encoding, const std::string& path) {
    result_.encodings[file] = EncodingName(encoding, options_.codePage);
    if (encoding != TextEncoding::Ansi) return;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
      auto other = std::find_if(line.begin(), line.end(), [](char c) { return (c & 0x80) != 0; });
      if (other == line.end()) continue;
      Add(file, number, static_cast<long>(other - line.begin()) + 1, Severity::Warning, "ansi-bytes",
          file +
              " is ANSI text with characters outside ASCII: on a Windows set to another code page they show "
              "as other characters; save it as UTF-8");
      return;
    }
  }

  void Picture(const Text& relative, const std::string& file, long line, const std::string& window) {
    if (relative.empty()) {
      Add(file, line, 1, Severity::Error, "file-missing",
          "no picture is named: the " + window + " shows an empty box of 361 x 241 pixels");
      return;
    }
    HeadlessPlatform::Resolved r =
        Named(relative, file, line, 1, "the " + window + " shows an empty box of 361 x 241 pixels");
    if (r.path.empty() || r.isFolder) return;
    PictureInfo info = InspectPicture(r.path);
    if (!info.shown && !info.format.empty())
      Add(file, line, 1, Severity::Error, "picture-format",
          Quote(relative) + " is " + info.format +
              ", a format the program does not show (BMP, JPEG, GIF, PNG, " + "ICO, WMF, EMF): the " +
              window + " shows an empty box");
    else if (!info.decodes)
      Add(file, line, 1, Severity::Error, "picture-unreadable",
          Quote(relative) + " cannot be decoded as a picture: the " + window + " shows an empty box");
  }

  void Sound(const Text& relative, const std::string& file, long line, long column, const std::string& what) {
    HeadlessPlatform::Resolved r = Named(relative, file, line, column, what + " plays nothing");
    if (!r.path.empty() && !r.isFolder && !IsWave(r.path))
      Add(file, line, column, Severity::Warning, "not-wave",
          Quote(relative) + " is not a RIFF/WAVE file: " + what + " plays nothing");
  }

  void Kavo() {
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + L"kavo.inf");
    if (r.path.empty()) {
      Add("kavo.inf", 0, 0, Severity::Error, "kavo-missing",
          "kavo.inf is missing: the program shows nothing and ends at once");
      result_.startup = "shows nothing and ends at once";
      return;
    }
    if (r.caseDiffers)
      Add("kavo.inf", 0, 0, Severity::Warning, "case-only", "kavo.inf is on the disc in other letter case");
    config_ = ReadLaunchConfig(kRoot);
    TextEncoding encoding = TextEncoding::Ansi;
    std::vector<Text>& lines = read_["kavo.inf"] = ReadLines(kRoot + L"kavo.inf", &encoding);
    Encoding("kavo.inf", encoding, r.path);
    Text line1 = lines.empty() ? Text() : lines[0];
    bool splash = IsOn(config_.splashFlag), file = IsOn(config_.fileFlag), menu = IsOn(config_.menuFlag);
    menuOn_ = menu;

    std::vector<std::string> shows;
    if (splash) shows.push_back(menu ? "shows the splash" : "shows the splash for 3 seconds");
    if (menu) shows.push_back(splash ? "then the menu" : "shows the menu");
    std::string what = shows.empty() ? "shows nothing" : shows[0] + (shows.size() > 1 ? ", " + shows[1] : "");
    Text command = config_.singleFile;
    what += file ? "; launches " + Quote(SplitLaunchCommand(command).file) : "; launches nothing";
    if (!splash && !file && !menu)
      what = "shows nothing and ends at once";
    else if (file && !menu && !splash)
      what += ", then ends";
    result_.startup = what;

    bool plain = line1.size() == 3 && line1.find_first_not_of(L"01") == Text::npos;
    if (!plain) {
      std::string why;
      if (line1.size() == 2)
        why = ": the second character is also the menu flag, the last character";
      else if (line1.size() > 3)
        why = ": the menu flag is the last character, not the third";
      else if (line1.size() == 1)
        why = ": the one character is both the splash flag and the menu flag";
      else if (line1.empty())
        why = ": an empty line 1 turns every flag off";
      else
        why = ": only \"1\" turns a flag on";
      Add("kavo.inf", 1, 1, Severity::Warning, "startup-flags", "line 1 " + Quote(line1) + " " + what + why);
    } else if (!splash && !file && !menu) {
      Add("kavo.inf", 1, 1, Severity::Error, "startup-flags", "line 1 \"000\" " + what);
    }

    if (splash) Picture(config_.splashPicture, "kavo.inf", 2, "splash");
    if (file) {
      LaunchCommandParts parts = SplitLaunchCommand(command);
      HeadlessPlatform::Resolved launched = disc_.Resolve(kRoot + parts.file);
      if (launched.path.empty() || launched.isFolder)
        Add("kavo.inf", 3, 1, Severity::Error, "file-missing",
            Quote(parts.file) + " is missing: the user sees \"" + Utf8(MissingFileMessage(parts.file)) +
                "\"");
      else if (launched.caseDiffers)
        Named(parts.file, "kavo.inf", 3, 1, "");
    }
    if (menu) Picture(config_.menuPicture, "kavo.inf", 4, "menu");
    if (!config_.backgroundSound.empty())
      Sound(config_.backgroundSound, "kavo.inf", 5, 1, "the background sound");
    if (!config_.mouseOverSound.empty())
      Sound(config_.mouseOverSound, "kavo.inf", 6, 1, "the mouse-over sound");
  }

  // The program as it is right after start-up, with the menu window's picture loaded.
  void FreshProcess() {
    events::NewProcess();
    frmMain.appPath = kRoot;
    menuReady = true;
    disc_.effects.clear();
    PictureInfo info;
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + config_.menuPicture);
    if (!r.path.empty() && !r.isFolder) info = InspectPicture(r.path);
    background_ = info.shown && info.decodes ? info.size : TwipSize{5415, 3615};
  }

  struct MenuLine {
    long number;
    Text text;
    bool pageOk;
    double page;
  };

  void Menu() {
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + L"menu.inf");
    if (r.path.empty()) {
      if (menuOn_)
        Add("menu.inf", 0, 0, Severity::Error, "menu-missing", "menu.inf is missing: the menu shows no link");
      return;
    }
    if (r.caseDiffers)
      Add("menu.inf", 0, 0, Severity::Warning, "case-only", "menu.inf is on the disc in other letter case");

    TextEncoding encoding = TextEncoding::Ansi;
    const std::vector<Text>& texts = read_["menu.inf"] = ReadLines(kRoot + L"menu.inf", &encoding);
    Encoding("menu.inf", encoding, r.path);
    std::set<int> pages = {0};
    for (std::size_t i = 0; i < texts.size(); ++i) {
      MenuLine line{static_cast<long>(i + 1), texts[i], false, 0};
      if (!line.text.empty()) {
        try {
          Text field;
          FirstField(line.text, field);
          line.page = ToDouble(field);
          line.pageOk = true;
        } catch (const AppError&) {
        }
      }
      if (line.pageOk) {
        bool loadable = line.page == std::nearbyint(line.page) && std::fabs(line.page) <= 32767;
        if (loadable) {
          pages.insert(static_cast<int>(line.page));
        } else {
          Add("menu.inf", line.number, 1, Severity::Warning, "page-never-shown",
              "the page field " + Quote(FieldText(line.text, 1)) + " is no whole page number: no link can " +
                  "show this line");
        }
      }
      lines_.push_back(line);
    }

    std::set<long> reportedEverywhere;
    std::map<int, std::set<int>> targets;  // page -> pages its links show
    for (int page : pages) {
      FreshProcess();
      std::optional<ErrorKind> stop;
      LoadPosition at;
      try {
        LoadMenuPage(static_cast<int16_t>(page));
      } catch (const AppError& e) {
        stop = e.kind();
        at = LastLoadPosition();
      }
      PageVerdict verdict;
      for (int i = 0; i < kLinkCount; ++i)
        if (lblLink(i).Visible()) verdict.links.push_back(i);
      verdict.lightsUp = menuReady;
      bool named = std::any_of(lines_.begin(), lines_.end(),
                               [&](const MenuLine& l) { return l.pageOk && l.page == page; });
      if (named || page == 0) result_.pages[page] = verdict;
      if (stop) ReportStop(page, *stop, at, verdict, &reportedEverywhere);
      Links(page, verdict, stop.has_value() ? at.line : 0, &targets[page]);
    }
    Reachability(pages, targets);
  }

  static Text FieldText(const Text& line, int field) {
    Text value;
    FieldOf(line, field, &value);
    return value;
  }

  // The lines of a page up to (and without) line `before`, or all of them.
  std::vector<const MenuLine*> PageLines(int page, long before) {
    std::vector<const MenuLine*> out;
    for (const MenuLine& l : lines_)
      if (l.pageOk && l.page == page && (before == 0 || l.number < before)) out.push_back(&l);
    return out;
  }

  void ReportStop(int page,
                  ErrorKind kind,
                  LoadPosition at,
                  const PageVerdict& verdict,
                  std::set<long>* reportedEverywhere) {
    const Text& text = lines_[static_cast<std::size_t>(at.line - 1)].text;
    long column = FieldColumn(text, std::max(at.field, 1));
    std::string what = Describe(kind, at.field, FieldText(text, at.field));
    if (at.field <= 1) {
      // A line whose page field fails stops every page at the same place: said once.
      if (!reportedEverywhere->insert(at.line).second) return;
      Add("menu.inf", at.line, column, Severity::Error, "page-stops",
          what + "; every page stops here and none of their links lights up");
      return;
    }
    std::vector<int> lost;
    for (const MenuLine& l : lines_) {
      if (l.number < at.line || !l.pageOk || l.page != page) continue;
      Text index;
      if (!FieldOf(l.text, 2, &index)) continue;
      try {
        int link = ToInt16(index);
        if (link >= 0 && link < kLinkCount &&
            std::find(verdict.links.begin(), verdict.links.end(), link) == verdict.links.end() &&
            std::find(lost.begin(), lost.end(), link) == lost.end())
          lost.push_back(link);
      } catch (const AppError&) {
      }
    }
    std::sort(lost.begin(), lost.end());
    std::string cost = lost.empty() ? ""
                                    : (lost.size() == 1 ? "link " : "links ") + JoinNumbers(lost) +
                                          (lost.size() == 1 ? " is" : " are") + " not shown and ";
    Add("menu.inf", at.line, column, Severity::Error, "page-stops",
        what + "; page " + std::to_string(page) + " stops here: " + cost + "no link of page " +
            std::to_string(page) + " lights up");
  }

  void Links(int page, const PageVerdict& verdict, long stoppedAt, std::set<int>* targets) {
    // The line that set up each shown link last, and the lines set up twice.
    std::map<int, const MenuLine*> lastLine;
    for (const MenuLine* l : PageLines(page, stoppedAt)) {
      Text index;
      if (!FieldOf(l->text, 2, &index)) continue;
      int link;
      try {
        link = ToInt16(index);
      } catch (const AppError&) {
        continue;
      }
      auto before = lastLine.find(link);
      if (before != lastLine.end())
        Add("menu.inf", l->number, FieldColumn(l->text, 2), Severity::Warning, "duplicate-link",
            "link " + std::to_string(link) + " of page " + std::to_string(page) +
                " is set up again; this line " + "replaces line " + std::to_string(before->second->number));
      lastLine[link] = l;
    }

    for (int link : verdict.links) {
      auto found = lastLine.find(link);
      if (found == lastLine.end()) continue;
      const MenuLine& l = *found->second;
      Label& label = lblLink(link);
      try {
        ToInt32(label.Tag());
      } catch (const AppError&) {
        Add("menu.inf", l.number, FieldColumn(l.text, 7), Severity::Warning, "highlight-not-number",
            "the highlight colour " + Quote(label.Tag()) + " is not a number: link " + std::to_string(link) +
                " does not light up, and the pointer on it still plays the mouse-over sound");
      }
      Box(page, link, l);
    }
    Overlaps(page, verdict, lastLine);

    // Clicks last: a page link loads another page over this one, so the page is loaded again after it.
    bool elsewhere = false;
    for (int link : verdict.links) {
      auto found = lastLine.find(link);
      if (found == lastLine.end()) continue;
      if (elsewhere) {
        FreshProcess();
        try {
          LoadMenuPage(static_cast<int16_t>(page));
        } catch (const AppError&) {
        }
      }
      elsewhere = Action(page, link, *found->second, targets);
    }
  }

  void Box(int page, int link, const MenuLine& l) {
    if (!menuOn_) return;  // no menu window, no picture to fall outside of
    const TwipRect& r = lblLink(link).Rect();
    bool inside = r.left >= 0 && r.top >= 0 && r.left + r.width <= background_.width + 0.5f &&
                  r.top + r.height <= background_.height + 0.5f;
    if (!inside)
      Add("menu.inf", l.number, FieldColumn(l.text, 8), Severity::Warning, "link-outside",
          "link " + std::to_string(link) + " of page " + std::to_string(page) + " (" + Twips(r) +
              ") falls outside the menu picture (" + std::to_string(std::lround(background_.width)) + " x " +
              std::to_string(std::lround(background_.height)) + " twips): it is cut off or not seen");
  }

  static std::string Twips(const TwipRect& r) {
    std::ostringstream out;
    out << std::lround(r.left) << "," << std::lround(r.top) << " to " << std::lround(r.left + r.width) << ","
        << std::lround(r.top + r.height) << " twips";
    return out.str();
  }

  void Overlaps(int page, const PageVerdict& verdict, const std::map<int, const MenuLine*>& lastLine) {
    for (std::size_t a = 0; a < verdict.links.size(); ++a) {
      for (std::size_t b = a + 1; b < verdict.links.size(); ++b) {
        int top = verdict.links[a], under = verdict.links[b];
        const TwipRect &p = lblLink(top).Rect(), &q = lblLink(under).Rect();
        bool overlap = p.left < q.left + q.width && q.left < p.left + p.width && p.top < q.top + q.height &&
                       q.top < p.top + p.height;
        auto line = lastLine.find(under);
        if (!overlap || line == lastLine.end()) continue;
        Add("menu.inf", line->second->number, FieldColumn(line->second->text, 8), Severity::Warning,
            "link-overlap",
            "link " + std::to_string(under) + " of page " + std::to_string(page) + " overlaps link " +
                std::to_string(top) + "; link " + std::to_string(top) +
                " is drawn on top and takes the pointer");
      }
    }
  }

  // What a click on the link does, found by clicking it. True when the click loaded another page.
  bool Action(int page, int link, const MenuLine& l, std::set<int>* targets) {
    Text type = FieldText(l.text, 10), argument;
    long typeColumn = FieldColumn(l.text, 10), argumentColumn = FieldColumn(l.text, 11);
    double value = -1;
    try {
      value = ToDouble(type);
    } catch (const AppError&) {
    }
    bool stores = value == std::nearbyint(value) && value >= 0 && value <= 8;
    if (!stores) {
      Add("menu.inf", l.number, typeColumn, Severity::Warning, "action-stores-nothing",
          "the action type " + Quote(type) + " is none of 0 to 8 and stores nothing: a click on link " +
              std::to_string(link) + " repeats whatever an earlier page stored for it, or does nothing");
      return false;
    }
    const Text stored = linkActions[static_cast<std::size_t>(link)];
    Text file = stored;
    {
      Text t;
      try {
        NextField(t, file);
        if (!file.empty()) file.pop_back();
      } catch (const AppError&) {
        file.clear();
      }
    }
    disc_.effects.clear();
    std::optional<ErrorKind> failed;
    try {
      frmMenu.ExecuteAction(static_cast<int16_t>(link));
    } catch (const AppError& e) {
      failed = e.kind();
    } catch (const ProgramEnded&) {
    }
    int kind = static_cast<int>(value);
    if (failed && kind != 5) {
      Add("menu.inf", l.number, typeColumn, Severity::Error, "action-never-runs",
          "the action " + Quote(stored) + " cannot be taken apart again (" + ErrorKindName(*failed) +
              "): a click on link " + std::to_string(link) + " does nothing; write the type as one digit");
    }
    for (const auto& effect : disc_.effects) {
      if (effect.kind == HeadlessPlatform::Effect::Message)
        Add("menu.inf", l.number, argumentColumn, Severity::Error, "file-missing",
            Quote(kind == 0 ? SplitLaunchCommand(file).file : file) + " is missing: the user sees \"" +
                Utf8(effect.first) + "\"");
    }
    if (kind == 0 || kind == 8) {
      Text name = kind == 0 ? SplitLaunchCommand(file).file : file;
      HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + name);
      if (!r.path.empty() && r.caseDiffers) Named(name, "menu.inf", l.number, argumentColumn, "");
      if (kind == 8 && !r.path.empty() && !r.isFolder && !IsWave(r.path))
        Add("menu.inf", l.number, argumentColumn, Severity::Warning, "not-wave",
            Quote(name) + " is not a RIFF/WAVE file: link " + std::to_string(link) + " plays nothing");
    }
    if (kind == 3) {
      // Documents go to the shell unchecked: a missing one fails there, silently.
      HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + file);
      if (r.path.empty())
        Add("menu.inf", l.number, argumentColumn, Severity::Error, "file-missing",
            Quote(file) + " is missing: a click on link " + std::to_string(link) + " does nothing at all");
      else if (r.caseDiffers)
        Named(file, "menu.inf", l.number, argumentColumn, "");
    }
    if (kind == 5) {
      int16_t target = 0;
      try {
        target = ToInt16(file);
      } catch (const AppError&) {
        Add("menu.inf", l.number, argumentColumn, Severity::Error, "page-target",
            "the page " + Quote(file) + " is not a page number: a click on link " + std::to_string(link) +
                " does nothing");
        return false;
      }
      targets->insert(target);
      bool named = std::any_of(lines_.begin(), lines_.end(),
                               [&](const MenuLine& m) { return m.pageOk && m.page == target; });
      if (!named)
        Add("menu.inf", l.number, argumentColumn, Severity::Warning, "page-target",
            "page " + std::to_string(target) + " has no links: a click on link " + std::to_string(link) +
                " of page " + std::to_string(page) + " leaves an empty menu");
    }
    return kind == 5;
  }

  void Reachability(const std::set<int>& pages, const std::map<int, std::set<int>>& targets) {
    std::set<int> reached = {0};
    std::vector<int> queue = {0};
    while (!queue.empty()) {
      int page = queue.back();
      queue.pop_back();
      auto t = targets.find(page);
      if (t == targets.end()) continue;
      for (int next : t->second)
        if (reached.insert(next).second) queue.push_back(next);
    }
    for (int page : pages) {
      if (reached.count(page)) continue;
      for (const MenuLine& l : lines_) {
        if (!l.pageOk || l.page != page) continue;
        Add("menu.inf", l.number, 1, Severity::Warning, "page-unreachable",
            "no link leads to page " + std::to_string(page) + ": its links are never shown");
        break;
      }
    }
  }

  // Names the disc's file system (ISO 9660 with Joliet) would shorten or change.
  void Names(const std::string& relative, const std::string& path) {
    std::map<std::string, std::string> seen;
    DIR* dir = opendir(path.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      std::string rel = relative.empty() ? name : relative + "/" + name;
      Text wide = FromUtf8(name);
      std::size_t units = 0;
      for (wchar_t c : wide)
        units += static_cast<unsigned long>(c) > 0xFFFF ? 2 : 1;
      if (units > 64)
        Add(rel, 0, 0, Severity::Warning, "name-mangled",
            "the name has " + std::to_string(units) +
                " characters; a disc keeps 64, so the program will not " + "find it by this name");
      if (wide.find_first_of(L"*?:\"<>|\\") != Text::npos)
        Add(rel, 0, 0, Severity::Warning, "name-mangled",
            "the name holds a character a disc cannot store (* ? : \" < > | \\): it is changed when burned");
      std::string key = Utf8(Upper(wide));
      auto twin = seen.find(key);
      if (twin != seen.end())
        Add(rel, 0, 0, Severity::Warning, "name-mangled",
            "differs from " + Quote(FromUtf8(twin->second)) +
                " only in letter case: a disc keeps one of them");
      seen[key] = name;
      struct stat st;
      if (stat((path + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Names(rel, path + "/" + name);
    }
  }

  static Text Upper(Text s) {
    for (auto& c : s)
      c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return s;
  }

  void Autorun() {
    HeadlessPlatform::Resolved r = disc_.Resolve(kRoot + L"autorun.inf");
    if (r.path.empty()) {
      Add("autorun.inf", 0, 0, Severity::Warning, "autorun",
          "autorun.inf is missing: the disc does not start the program when it is inserted");
      return;
    }
    const std::vector<Text>& lines = read_["autorun.inf"] = ReadLines(kRoot + L"autorun.inf");
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
      value.erase(
          0, value.find_first_not_of(L" \t") == Text::npos ? value.size() : value.find_first_not_of(L" \t"));
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
      Add("autorun.inf", 0, 0, Severity::Error, "autorun",
          "autorun.inf has no open= line in an [autorun] section: the disc does not start the program");
    } else if (Upper(openFile) != Upper(exe)) {
      Add("autorun.inf", openLine, 1, Severity::Error, "autorun",
          "open= names " + Quote(openFile) + ", not " + Quote(exe) +
              ": inserting the disc does not start the menu");
    }
    if (!openFile.empty() && disc_.Resolve(kRoot + openFile).path.empty())
      Add("autorun.inf", openLine, 1, Severity::Note, "exe-missing",
          Quote(openFile) + " is not in the folder yet: copy it there before the disc is burned");
    if (iconLine != 0) {
      Text iconFile = icon.substr(0, icon.find(L','));
      if (disc_.Resolve(kRoot + iconFile).path.empty() && Upper(iconFile) != Upper(openFile))
        Add("autorun.inf", iconLine, 1, Severity::Warning, "autorun",
            "icon= names " + Quote(iconFile) + ", which is missing: the drive shows a plain icon");
    }
  }

  std::string folder_;
  CheckOptions options_;
  HeadlessPlatform disc_;
  CheckResult result_;
  LaunchConfig config_;
  bool menuOn_ = false;
  TwipSize background_{5415, 3615};
  std::vector<MenuLine> lines_;
  std::map<std::string, std::vector<Text>>
      read_;  // each configuration file's lines, as the program read them
};

}  // namespace

int CheckResult::Count(Severity severity) const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [&](const Finding& f) { return f.severity == severity; }));
}

CheckResult CheckDisc(const std::string& folder, const CheckOptions& options) {
  return Checker(folder, options).Run();
}

const std::map<std::string, std::string>& FindingCodes() {
  static const std::map<std::string, std::string> codes = {
      {"kavo-missing", "kavo.inf is missing: the program shows nothing"},
      {"startup-flags", "line 1 of kavo.inf does something other than it seems to say"},
      {"menu-missing", "menu.inf is missing while the menu is on"},
      {"page-stops", "a line stops its page: later links are not shown and no link lights up"},
      {"page-never-shown", "a line's page number is no page a link can show"},
      {"duplicate-link", "two lines set up the same link of a page; the later wins"},
      {"highlight-not-number", "a highlight colour that is not a number: the link stays unlit"},
      {"action-stores-nothing", "an action type outside 0 to 8 stores nothing"},
      {"action-never-runs", "a stored action the click cannot take apart"},
      {"page-target", "a page link whose target is no number or has no links"},
      {"page-unreachable", "a page that no link shows"},
      {"file-missing", "a file named by kavo.inf or a link is not on the disc"},
      {"case-only", "a file found only with other letter case"},
      {"not-wave", "a sound that is not a RIFF/WAVE file"},
      {"picture-format", "a picture in a format the program does not show"},
      {"picture-unreadable", "a picture that cannot be decoded"},
      {"link-outside", "a link whose box falls outside the menu picture"},
      {"link-overlap", "two links of a page overlap"},
      {"name-mangled", "a name the disc's file system would change"},
      {"autorun", "autorun.inf is missing or does not start the program"},
      {"exe-missing", "the program itself is not in the folder yet"},
      {"ansi-bytes", "an ANSI file with characters that read differently in other code pages"},
  };
  return codes;
}
