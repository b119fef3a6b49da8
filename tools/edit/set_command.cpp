#include "tools/edit/set_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "tools/edit/disc_file.h"
#include "tools/edit/edit_error.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"

namespace {

const char* const kSetUsage =
    "usage: velmaro-author set DISC [--codepage CP] [--utf8] EDIT...\n"
    "  menu.inf:LINE FIELD=VALUE...   set fields of line LINE (1-based, blank lines counted); FIELD is one\n"
    "                                 of page link caption font style colour highlight left top action "
    "argument\n"
    "  menu.inf:LINE insert TEXT      put the line TEXT after line LINE (0: first)\n"
    "  menu.inf:LINE duplicate        copy line LINE right after it\n"
    "  menu.inf:LINE delete           remove line LINE\n"
    "  kavo.inf KEY=VALUE...          set a line of kavo.inf; KEY is one of flags splash launch menu music\n"
    "                                 hover (lines 1 to 6)\n"
    "Edits apply in order, each to the file as the edits before it left it. Only the bytes of what is\n"
    "edited change. An ANSI file (read in CP, default %s) that cannot hold a new text is refused unless\n"
    "--utf8 allows saving it as UTF-8 with a mark. Nothing is saved when any edit is refused.\n";

namespace fs = std::filesystem;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The file of the folder that a disc names `name`: letter case does not matter on a disc. Paths go through
// UTF-8 on every system, so that a Windows folder name outside the ANSI code page is kept.
Text FileOfDisc(const fs::path& folder, const std::string& name) {
  auto native = [](fs::path file) { return FromUtf8(file.make_preferred().u8string()); };
  for (const auto& entry : fs::directory_iterator(folder))
    if (Lower(entry.path().filename().u8string()) == name) return native(entry.path());
  return native(folder / fs::u8path(name));
}

template <class Name>
std::optional<int> Lookup(const std::string& word, int count, Name name) {
  for (int i = 0; i < count; ++i)
    if (word == name(i)) return i;
  return std::nullopt;
}

// One disc file open for editing, made UTF-8 with a mark when allowed and needed.
class OpenFile {
 public:
  OpenFile(EditFileSystem& files, const Text& path, const AnsiCodePage& codePage, bool utf8Allowed)
      : file_(files, path, codePage), utf8Allowed_(utf8Allowed) {}

  template <class Edit>
  void Run(Edit edit) {
    try {
      edit(file_.Document());
    } catch (const EditError& e) {
      if (!e.Utf8WouldDo() || !utf8Allowed_) throw;
      file_.Document().ConvertToUtf8WithMark();
      edit(file_.Document());
    }
  }
  DiscFile& File() { return file_; }

 private:
  DiscFile file_;
  bool utf8Allowed_;
};

}  // namespace

std::string SetUsage(const std::string& defaultCodePage) {
  std::string usage = kSetUsage;
  return usage.replace(usage.find("%s"), 2, defaultCodePage);
}

int SetCommand(const std::vector<std::string>& args,
               const SetSystem& system,
               std::ostream& out,
               std::ostream& err) {
  auto usage = [&](const std::string& problem) {
    err << "velmaro-author: set: " << problem << "\n" << SetUsage(system.defaultCodePage);
    return 2;
  };
  std::string folder, codePageName = system.defaultCodePage;
  bool utf8 = false;
  std::vector<std::string> edits;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help") {
      out << SetUsage(system.defaultCodePage);
      return 0;
    }
    if (args[i] == "--codepage" && i + 1 < args.size())
      codePageName = args[++i];
    else if (args[i] == "--utf8")
      utf8 = true;
    else if (folder.empty())
      folder = args[i];
    else
      edits.push_back(args[i]);
  }
  if (folder.empty()) return usage("which disc folder?");
  if (edits.empty()) return usage("which edits?");
  std::unique_ptr<AnsiCodePage> codePage = system.codePage(codePageName);
  if (!codePage) return usage("unknown code page " + codePageName);
  const fs::path disc = fs::u8path(folder);
  std::error_code error;
  if (!fs::is_directory(disc, error)) {
    err << "velmaro-author: cannot read the folder " << folder << "\n";
    return 2;
  }

  std::map<std::string, std::unique_ptr<OpenFile>> open;
  auto fileNamed = [&](const std::string& name) -> OpenFile& {
    auto& slot = open[name];
    if (!slot) slot = std::make_unique<OpenFile>(system.files, FileOfDisc(disc, name), *codePage, utf8);
    return *slot;
  };

  try {
    for (std::size_t i = 0; i < edits.size();) {
      const std::string target = Lower(edits[i++]);
      auto words = [&] {
        std::vector<std::string> taken;
        while (i < edits.size() && edits[i].find('=') != std::string::npos &&
               Lower(edits[i]).rfind("menu.inf", 0) != 0)
          taken.push_back(edits[i++]);
        return taken;
      };
      if (target == "kavo.inf") {
        std::vector<std::string> sets = words();
        if (sets.empty()) return usage("kavo.inf: which line? (flags=101, splash=FILE, ...)");
        for (const std::string& set : sets) {
          std::string key = Lower(set.substr(0, set.find('=')));
          auto line = Lookup(key, kKavoLineCount, [](int k) { return KavoLineName(KavoLine(k)); });
          if (!line) return usage("kavo.inf has no line " + key);
          Text value = FromUtf8(set.substr(set.find('=') + 1));
          fileNamed("kavo.inf").Run([&](TextDocument& d) { KavoEditor(d).SetLine(KavoLine(*line), value); });
        }
        continue;
      }
      if (target.rfind("menu.inf:", 0) != 0) return usage("unexpected " + target);
      std::size_t line = 0;
      try {
        std::size_t used = 0;
        line = std::stoul(target.substr(9), &used);
        if (used != target.size() - 9) throw std::invalid_argument(target);
      } catch (const std::exception&) {
        return usage("menu.inf: which line? " + target);
      }
      OpenFile& menu = fileNamed("menu.inf");
      if (i < edits.size() && (edits[i] == "delete" || edits[i] == "duplicate" || edits[i] == "insert")) {
        const std::string action = edits[i++];
        if (action == "insert") {
          if (i >= edits.size()) return usage("menu.inf: insert what?");
          Text text = FromUtf8(edits[i++]);
          menu.Run([&](TextDocument& d) { MenuEditor(d).InsertLine(line, text); });
        } else {
          if (line == 0) return usage("menu.inf: lines count from 1");
          menu.Run([&](TextDocument& d) {
            action == "delete" ? MenuEditor(d).DeleteLine(line - 1) : MenuEditor(d).DuplicateLine(line - 1);
          });
        }
        continue;
      }
      std::vector<std::string> sets = words();
      if (sets.empty()) return usage(target + ": which field? (caption=TEXT, left=N, ...)");
      if (line == 0) return usage("menu.inf: lines count from 1");
      for (const std::string& set : sets) {
        std::string key = Lower(set.substr(0, set.find('=')));
        auto field =
            Lookup(key, static_cast<int>(kMenuFieldCount), [](int f) { return MenuFieldName(MenuField(f)); });
        if (!field) return usage("a menu.inf line has no field " + key);
        Text value = FromUtf8(set.substr(set.find('=') + 1));
        menu.Run([&](TextDocument& d) { MenuEditor(d).SetField(line - 1, MenuField(*field), value); });
      }
    }
  } catch (const EditError& e) {
    err << "velmaro-author: " << e.what();
    if (e.Utf8WouldDo()) err << "; --utf8 saves the file as UTF-8 with a mark";
    err << "; nothing saved\n";
    return 1;
  } catch (const std::system_error& e) {
    err << "velmaro-author: " << e.what() << "; nothing saved\n";
    return 1;
  }

  for (auto& [name, file] : open) {
    try {
      TextDocument& document = file->File().Document();
      if (!document.Modified()) continue;
      if (file->File().Save() == SaveOutcome::ChangedOnDisk) {
        err << "velmaro-author: " << name << " changed on disk while it was edited; not saved\n";
        return 1;
      }
      out << name << ": saved (" << EncodingName(document.Encoding()) << ")\n";
    } catch (const std::system_error& e) {
      err << "velmaro-author: " << e.what() << "\n";
      return 1;
    }
  }
  return 0;
}
