// The configuration files the repository holds, and the program's own reading of them: the oracle the
// editing model's results are judged by.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "menu/fields.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "platform/textfile.h"
#include "tools/author/newdisc.h"

namespace fs = std::filesystem;

inline std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// A folder of its own under /tmp, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    char name[] = "/tmp/velmaro-edit-XXXXXX";
    path_ = mkdtemp(name);
  }
  ~TemporaryFolder() { fs::remove_all(path_); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct DiscText {
  std::string name;
  std::string bytes;
};

struct Corpus {
  std::vector<DiscText> menus, kavos;
};

// Every disc the repository holds: the sample disc, the starter disc, the end-to-end cases' menus and the
// fuzz seeds.
inline const Corpus& RepositoryCorpus() {
  static const Corpus corpus = [] {
    Corpus c;
    auto folder = [](const fs::path& dir, std::vector<DiscText>& into) {
      std::vector<fs::path> files;
      for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files)
        into.push_back({dir.filename().string() + "/" + f.filename().string(), FileBytes(f)});
    };
    const fs::path source = VELMARO_SOURCE_DIR;
    c.menus.push_back({"disc/menu.inf", FileBytes(source / "disc/menu.inf")});
    c.kavos.push_back({"disc/kavo.inf", FileBytes(source / "disc/kavo.inf")});
    TemporaryFolder starter;
    std::string error;
    EXPECT_TRUE(WriteStarterDisc(starter.path().string(), "", false, &error)) << error;
    c.menus.push_back({"starter/menu.inf", FileBytes(starter.path() / "menu.inf")});
    c.kavos.push_back({"starter/kavo.inf", FileBytes(starter.path() / "kavo.inf")});
    TemporaryFolder e2e;
    std::string command = "python3 -B " + (source / "tests/e2e/harness.py").string() + " --write-menus " +
                          (e2e.path() / "e2e").string() + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    if (fs::is_directory(e2e.path() / "e2e")) folder(e2e.path() / "e2e", c.menus);
    folder(source / "tests/fuzz/corpus/menu", c.menus);
    folder(source / "tests/fuzz/corpus/fields", c.menus);
    folder(source / "tests/fuzz/corpus/kavo", c.kavos);
    return c;
  }();
  return corpus;
}

// The lines of a file as the program reads them.
inline std::vector<Text> ProgramLines(const std::string& bytes) {
  FakePlatform fake;
  fake.AddFile(L"D:\\file.inf", bytes);
  FileOpen(L"D:\\file.inf");
  std::vector<Text> lines;
  while (!AtEndOfFile())
    lines.push_back(LineInput());
  FileClose();
  return lines;
}

// A line's fields as the page loader takes them off (at most eleven), and what is left after them.
struct ProgramFields {
  std::vector<Text> fields;
  Text rest;
};
inline ProgramFields TakeFields(Text line) {
  ProgramFields out;
  Text field;
  while (out.fields.size() < 11) {
    Text before = line;
    try {
      NextField(field, line);
    } catch (const AppError&) {
      line = before;
      break;
    }
    out.fields.push_back(field);
  }
  out.rest = line;
  return out;
}

// The bytes two versions of a file have in common at the start and at the end.
inline std::pair<std::size_t, std::size_t> CommonEnds(const std::string& a, const std::string& b) {
  std::size_t prefix = 0;
  while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
         a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
    ++suffix;
  return {prefix, suffix};
}
