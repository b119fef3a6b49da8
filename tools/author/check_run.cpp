#include "tools/author/check_run.h"

#include <algorithm>
#include <cmath>

#include "launch/launch.h"
#include "menu/fields.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/numbers.h"
#include "startup/frmMain.h"
#include "tools/author/check_lines.h"
#include "tools/author/check_wording.h"
#include "tools/author/menu_line_fields.h"

using wording::Quote;
using wording::Utf8;

void LogicRun::Kavo() {
  LookedUpFile kavo = host_.Find(kDiscRoot + L"kavo.inf");
  if (!kavo.IsFile()) {
    findings_.Add("kavo.inf", 0, 0, Severity::Error, "kavo-missing",
                  kavo.Found()
                      ? "kavo.inf is a folder, not a file: the program shows nothing and ends at once"
                      : "kavo.inf is missing: the program shows nothing and ends at once");
    result_.startup = "shows nothing and ends at once";
    return;
  }
  if (kavo.caseDiffers)
    findings_.Add("kavo.inf", 0, 0, Severity::Warning, "case-only",
                  "kavo.inf is on the disc in other letter case");
  config_ = ReadLaunchConfig(kDiscRoot);
  TextEncoding encoding = TextEncoding::Ansi;
  const std::vector<Text>& lines = findings_.read["kavo.inf"] =
      ReadConfigLines(kDiscRoot + L"kavo.inf", &encoding);
  result_.encodings["kavo.inf"] = files_.Encoding("kavo.inf", encoding);
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
    // A start that shows and launches nothing is a disc that does nothing at all.
    Severity severity = splash || file || menu ? Severity::Warning : Severity::Error;
    findings_.Add("kavo.inf", 1, 1, severity, "startup-flags", "line 1 " + Quote(line1) + " " + what + why);
  } else if (!splash && !file && !menu) {
    findings_.Add("kavo.inf", 1, 1, Severity::Error, "startup-flags", "line 1 \"000\" " + what);
  }

  if (splash) files_.Picture(config_.splashPicture, "kavo.inf", 2, "splash");
  if (file) {
    LaunchCommandParts parts = SplitLaunchCommand(command);
    LookedUpFile launched = host_.Find(kDiscRoot + parts.file);
    if (!launched.IsFile()) {
      Finding& finding = findings_.Add(
          "kavo.inf", 3, 1, Severity::Error, "file-missing",
          Quote(parts.file) + " is missing: the user sees \"" + Utf8(MissingFileMessage(parts.file)) + "\"");
      files_.WhyNotFound(finding, launched);
      MissingProgram(finding, parts.file);
    } else if (launched.caseDiffers)
      files_.Named(parts.file, "kavo.inf", 3, 1, "");
  }
  if (menu) files_.Picture(config_.menuPicture, "kavo.inf", 4, "menu");
  if (!config_.backgroundSound.empty())
    files_.Sound(config_.backgroundSound, "kavo.inf", 5, 1, "the background sound");
  if (!config_.mouseOverSound.empty())
    files_.Sound(config_.mouseOverSound, "kavo.inf", 6, 1, "the mouse-over sound");
}

// The program as it is right after start-up, with the menu window's picture loaded.
void LogicRun::FreshProcess() {
  events::NewProcess();
  frmMain.appPath = kDiscRoot;
  menuReady = true;
  host_.TakeEffects();
}

void LogicRun::Menu() {
  LookedUpFile found = host_.Find(kDiscRoot + L"menu.inf");
  if (!found.Found()) {
    if (menuOn_)
      findings_.Add("menu.inf", 0, 0, Severity::Error, "menu-missing",
                    "menu.inf is missing: the menu shows no link");
    return;
  }
  if (found.isFolder) {
    findings_.Add("menu.inf", 0, 0, Severity::Error, "menu-unreadable",
                  "menu.inf is a folder, not a file: the menu shows no link");
    return;
  }
  if (found.caseDiffers)
    findings_.Add("menu.inf", 0, 0, Severity::Warning, "case-only",
                  "menu.inf is on the disc in other letter case");

  LookedUpFile picture = host_.Find(kDiscRoot + config_.menuPicture);
  PictureInfo info;
  if (picture.IsFile()) info = host_.Picture(picture);
  backgroundShown_ = info.shown && info.decodes;
  background_ = backgroundShown_ ? info.size : TwipSize{5415, 3615};

  TextEncoding encoding = TextEncoding::Ansi;
  const std::vector<Text>& texts = findings_.read["menu.inf"] =
      ReadConfigLines(kDiscRoot + L"menu.inf", &encoding);
  result_.encodings["menu.inf"] = files_.Encoding("menu.inf", encoding);
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
        findings_.Add("menu.inf", line.number, 1, Severity::Warning, "page-never-shown",
                      "the page field " + Quote(FieldText(line.text, 1)) +
                          " is no whole page number: no link can show this line");
      }
    }
    lines_.push_back(line);
  }

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
    if (PageNamed(page) || page == 0) result_.pages[page] = verdict;
    if (stop) ReportStop(page, *stop, at, verdict);
    Links(page, verdict, stop.has_value() ? at.line : 0, &targets[page]);
  }
  Reachability(pages, targets);
  Silences();
}

bool LogicRun::PageNamed(int page) const {
  return std::any_of(lines_.begin(), lines_.end(),
                     [&](const MenuLine& l) { return l.pageOk && l.page == page; });
}

std::vector<const LogicRun::MenuLine*> LogicRun::PageLines(int page, long before) const {
  std::vector<const MenuLine*> out;
  for (const MenuLine& l : lines_)
    if (l.pageOk && l.page == page && (before == 0 || l.number < before)) out.push_back(&l);
  return out;
}

void LogicRun::ReportStop(int page, ErrorKind kind, LoadPosition at, const PageVerdict& verdict) {
  if (at.line < 1 || at.line > static_cast<long>(lines_.size())) {
    // The file itself failed: it could not be opened or read through.
    if (stopsEverywhere_.insert(0).second)
      findings_.Add(
          "menu.inf", 0, 0, Severity::Error, "menu-unreadable",
          "menu.inf cannot be read (" + std::string(ErrorKindName(kind)) + "): the menu shows no link");
    return;
  }
  const Text& text = lines_[static_cast<std::size_t>(at.line - 1)].text;
  long column = FieldColumn(text, std::max(at.field, 1));
  Text value = FieldText(text, at.field);
  std::string what = wording::LoadStop(kind, at.field, value);
  if (at.field <= 1) {
    if (!stopsEverywhere_.insert(at.line).second) return;
    Explain(findings_.Add("menu.inf", at.line, column, Severity::Error, "page-stops",
                          what + "; every page stops here and none of their links lights up"),
            at.field, value);
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
                                  : (lost.size() == 1 ? "link " : "links ") + wording::Numbers(lost) +
                                        (lost.size() == 1 ? " is" : " are") + " not shown and ";
  Explain(findings_.Add("menu.inf", at.line, column, Severity::Error, "page-stops",
                        what + "; page " + std::to_string(page) + " stops here: " + cost +
                            "no link of page " + std::to_string(page) + " lights up"),
          at.field, value);
}

void LogicRun::Links(int page, const PageVerdict& verdict, long stoppedAt, std::set<int>* targets) {
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
      findings_.Add("menu.inf", l->number, FieldColumn(l->text, 2), Severity::Warning, "duplicate-link",
                    "link " + std::to_string(link) + " of page " + std::to_string(page) +
                        " is set up again; this line replaces line " +
                        std::to_string(before->second->number));
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
      Explain(findings_.Add("menu.inf", l.number, FieldColumn(l.text, 7), Severity::Warning,
                            "highlight-not-number",
                            "the highlight colour " + Quote(label.Tag()) + " is not a number: link " +
                                std::to_string(link) +
                                " does not light up, and the pointer on it still plays the mouse-over sound"),
              7, label.Tag());
    }
    Box(page, link, l);
    Separators(l);
  }
  Overlaps(page, verdict, lastLine);

  for (int link : verdict.links) {
    auto found = lastLine.find(link);
    if (found != lastLine.end()) Action(page, link, *found->second, targets);
  }
}

void LogicRun::Box(int page, int link, const MenuLine& l) {
  if (!menuOn_) return;  // no menu window, no picture to fall outside of
  const TwipRect& r = lblLink(link).Rect();
  bool inside = r.left >= 0 && r.top >= 0 && r.left + r.width <= background_.width + 0.5f &&
                r.top + r.height <= background_.height + 0.5f;
  if (!inside && !backgroundShown_)
    ++outsideUnseen_;
  else if (!inside)
    findings_.Add("menu.inf", l.number, FieldColumn(l.text, 8), Severity::Warning, "link-outside",
                  "link " + std::to_string(link) + " of page " + std::to_string(page) + " (" +
                      wording::Twips(r) + ") falls outside the menu picture (" +
                      std::to_string(std::lround(background_.width)) + " x " +
                      std::to_string(std::lround(background_.height)) + " twips): it is cut off or not seen");
}

void LogicRun::Overlaps(int page,
                        const PageVerdict& verdict,
                        const std::map<int, const MenuLine*>& lastLine) {
  for (std::size_t a = 0; a < verdict.links.size(); ++a) {
    for (std::size_t b = a + 1; b < verdict.links.size(); ++b) {
      int top = verdict.links[a], under = verdict.links[b];
      const TwipRect &p = lblLink(top).Rect(), &q = lblLink(under).Rect();
      bool overlap = p.left < q.left + q.width && q.left < p.left + p.width && p.top < q.top + q.height &&
                     q.top < p.top + p.height;
      auto line = lastLine.find(under);
      if (!overlap || line == lastLine.end()) continue;
      findings_.Add("menu.inf", line->second->number, FieldColumn(line->second->text, 8), Severity::Warning,
                    "link-overlap",
                    "link " + std::to_string(under) + " of page " + std::to_string(page) + " overlaps link " +
                        std::to_string(top) + "; link " + std::to_string(top) +
                        " is drawn on top and takes the pointer");
    }
  }
}

void LogicRun::Action(int page, int link, const MenuLine& l, std::set<int>* targets) {
  Text type = FieldText(l.text, 10);
  long typeColumn = FieldColumn(l.text, 10), argumentColumn = FieldColumn(l.text, 11);
  double value = -1;
  try {
    value = ToDouble(type);
  } catch (const AppError&) {
  }
  bool stores = value == std::nearbyint(value) && value >= 0 && value <= 8;
  if (!stores) {
    findings_.Add("menu.inf", l.number, typeColumn, Severity::Warning, "action-stores-nothing",
                  "the action type " + Quote(type) +
                      " is none of 0 to 8 and stores nothing: a click on link " + std::to_string(link) +
                      " repeats whatever an earlier page stored for it, or does nothing");
    return;
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
  int kind = static_cast<int>(value);
  host_.TakeEffects();
  std::optional<ErrorKind> failed;
  // A page link would load its page over this one; that page is checked on its own, and whether the
  // number reads is found below.
  if (kind != 5) {
    try {
      frmMenu.ExecuteAction(static_cast<int16_t>(link));
    } catch (const AppError& e) {
      failed = e.kind();
    } catch (const ProgramEnded&) {
    }
  }
  std::size_t findingsBefore = findings_.all().size();
  if (failed && kind != 5) {
    findings_.Add("menu.inf", l.number, typeColumn, Severity::Error, "action-never-runs",
                  "the action " + Quote(stored) + " cannot be taken apart again (" + ErrorKindName(*failed) +
                      "): a click on link " + std::to_string(link) +
                      " does nothing; write the type as one digit");
  }
  for (const ProgramEffect& effect : host_.TakeEffects()) {
    if (effect.kind != ProgramEffect::Message) continue;
    Text missing = kind == 0 ? SplitLaunchCommand(file).file : file;
    Finding& finding =
        findings_.Add("menu.inf", l.number, argumentColumn, Severity::Error, "file-missing",
                      Quote(missing) + " is missing: the user sees \"" + Utf8(effect.first) + "\"");
    files_.WhyNotFound(finding, host_.Find(kDiscRoot + missing));
    MissingProgram(finding, missing);
  }
  if (kind == 0 || kind == 8) {
    Text name = kind == 0 ? SplitLaunchCommand(file).file : file;
    LookedUpFile found = host_.Find(kDiscRoot + name);
    if (found.Found() && found.caseDiffers) files_.Named(name, "menu.inf", l.number, argumentColumn, "");
    if (kind == 8 && found.IsFile() && !files_.IsWave(found))
      findings_.Add(
          "menu.inf", l.number, argumentColumn, Severity::Warning, "not-wave",
          Quote(name) + " is not a RIFF/WAVE file: link " + std::to_string(link) + " plays nothing");
  }
  if (kind == 3) {
    // Documents go to the shell unchecked: a missing one fails there, silently.
    LookedUpFile found = host_.Find(kDiscRoot + file);
    if (!found.Found()) {
      Finding& finding = findings_.Add(
          "menu.inf", l.number, argumentColumn, Severity::Error, "file-missing",
          Quote(file) + " is missing: a click on link " + std::to_string(link) + " does nothing at all");
      files_.WhyNotFound(finding, found);
      files_.SuggestNear(finding, file);
    } else if (found.caseDiffers)
      files_.Named(file, "menu.inf", l.number, argumentColumn, "");
  }
  if (kind == 5) {
    int16_t target = 0;
    try {
      target = ToInt16(file);
    } catch (const AppError&) {
      findings_.Add("menu.inf", l.number, argumentColumn, Severity::Error, "page-target",
                    "the page " + Quote(file) + " is not a page number: a click on link " +
                        std::to_string(link) + " does nothing");
      return;
    }
    targets->insert(target);
    if (!PageNamed(target))
      findings_.Add("menu.inf", l.number, argumentColumn, Severity::Warning, "page-target",
                    "page " + std::to_string(target) + " has no links: a click on link " +
                        std::to_string(link) + " of page " + std::to_string(page) + " leaves an empty menu");
  }
  FinalBar(l, kind, file, findingsBefore);
}

void LogicRun::Reachability(const std::set<int>& pages, const std::map<int, std::set<int>>& targets) {
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
      findings_.Add("menu.inf", l.number, 1, Severity::Warning, "page-unreachable",
                    "no link leads to page " + std::to_string(page) + ": its links are never shown");
      break;
    }
  }
}
