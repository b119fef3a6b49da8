// velmaro-author's command line, run as the author runs it: the built program on real folders, its exit
// status and what it says on which stream.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "disc_folder.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status = -1;  // the exit status; 128 + the signal when it was killed
  std::string out, err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The tool run from `cwd` with `args`, in which "DISC" and "WORK" stand for the test's folders.
Outcome Tool(const std::vector<std::string>& args,
             const std::string& disc,
             const std::string& work,
             const std::string& cwd = "") {
  auto expand = [&](std::string a) {
    for (const auto& [name, path] : {std::pair<std::string, std::string>{"DISC", disc}, {"WORK", work}})
      for (std::size_t at; (at = a.find(name)) != std::string::npos;)
        a.replace(at, name.size(), path);
    return a;
  };
  std::string command = "cd " + Quoted(cwd.empty() ? work : cwd) + " && " + Quoted(VELMARO_AUTHOR_TOOL);
  for (const std::string& a : args)
    command += " " + Quoted(expand(a));
  command += " >" + Quoted(work + "/stdout") + " 2>" + Quoted(work + "/stderr");
  int raw = std::system(command.c_str());
  Outcome run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.out = Slurp(work + "/stdout");
  run.err = Slurp(work + "/stderr");
  return run;
}

// A starter disc inside a work folder of its own, for the files the tool writes beside it.
class Bench {
 public:
  Bench() {
    char name[] = "/tmp/velmaro-cli-XXXXXX";
    work_ = mkdtemp(name);
  }
  ~Bench() { fs::remove_all(work_); }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  const std::string& work() const { return work_; }
  const DiscFolder& disc() const { return disc_; }
  Outcome operator()(const std::vector<std::string>& args, const std::string& cwd = "") const {
    return Tool(args, disc_.path(), work_, cwd);
  }

 private:
  DiscFolder disc_;
  std::string work_;
};

enum class Stream { Out, Err };

struct CommandLine {
  const char* what;
  std::function<void(const Bench&)> setup;
  std::vector<std::string> args;
  int status;
  Stream stream;
  const char* fragment;  // found in that stream
};

void StartupWarning(const Bench& b) {
  b.disc().Lines("kavo.inf", {"10", "images\\splash.png", "", "images\\menu.png", "", ""});
}

// Three errors and two warnings, on the lines 2 to 6 of menu.inf.
void FiveFindings(const Bench& b) {
  b.disc().Lines(
      "menu.inf",
      {"0|0|Quit|Verdana|0012|255|65535|900|600|6|", "0|1|A|Verdana|0012|255|white|900|1200|7|",
       "0|2|B|Verdana|0012|255|65535|900|1800|3|gone1.txt|",
       "0|3|C|Verdana|0012|255|65535|900|2400|3|gone2.txt|",
       "0|4|D|Verdana|0012|255|65535|900|3000|3|gone3.txt|", "0|5|E|Verdana|0012|255|yellow|900|3600|7|"});
}

const CommandLine kCommandLines[] = {
    {"the tool's help", nullptr, {"--help"}, 0, Stream::Out, "explain CODE"},
    {"check's help", nullptr, {"check", "--help"}, 0, Stream::Out, "--max-findings N"},
    {"preview's help names its default", nullptr, {"preview", "-h"}, 0, Stream::Out, "DISC-preview beside"},
    {"new's help", nullptr, {"new", "--help"}, 0, Stream::Out, "--force"},
    {"explain's help", nullptr, {"explain", "--help"}, 0, Stream::Out, "usage: velmaro-author explain"},
    {"set's help", nullptr, {"set", "--help"}, 0, Stream::Out, "usage: velmaro-author set"},
    {"set edits a field of the disc",
     nullptr,
     {"set", "DISC", "menu.inf:2", "left=960"},
     0,
     Stream::Out,
     "menu.inf: saved"},
    {"no command", nullptr, {}, 2, Stream::Err, "which command?"},
    {"an unknown command", nullptr, {"burn", "DISC"}, 2, Stream::Err, "velmaro-author --help says more"},
    {"an unknown option", nullptr, {"check", "DISC", "--fast"}, 2, Stream::Err, "unexpected --fast"},
    {"a code page iconv does not know",
     nullptr,
     {"check", "DISC", "--codepage", "CP99999"},
     2,
     Stream::Err,
     "no code page is called \"CP99999\""},
    {"a code page by its Windows number",
     nullptr,
     {"check", "DISC", "--codepage=1251"},
     0,
     Stream::Out,
     "read as ANSI (CP1251)"},
    {"ignoring a code that does not exist",
     nullptr,
     {"check", "DISC", "--ignore", "page-stops,no-such-code"},
     2,
     Stream::Err,
     "no finding is called \"no-such-code\""},
    {"a warning alone passes", StartupWarning, {"check", "DISC"}, 0, Stream::Out, "0 errors, 1 warning"},
    {"--werror fails on it",
     StartupWarning,
     {"check", "DISC", "--werror"},
     1,
     Stream::Out,
     "1 error, 0 warnings, 0 notes (--werror)"},
    {"an ignored warning does not fail --werror",
     StartupWarning,
     {"check", "DISC", "--werror", "--ignore", "startup-flags"},
     0,
     Stream::Out,
     "0 errors, 0 warnings"},
    {"--max-findings stops the report and counts the rest",
     FiveFindings,
     {"check", "DISC", "--max-findings", "2"},
     1,
     Stream::Out,
     "velmaro-author: 3 more findings not shown; --max-findings 0 shows them all\n"},
    {"the summary counts what was not shown",
     FiveFindings,
     {"check", "DISC", "--max-findings", "1"},
     1,
     Stream::Out,
     "3 errors, 2 warnings"},
    {"--max-findings takes a count",
     nullptr,
     {"check", "DISC", "--max-findings", "-1"},
     2,
     Stream::Err,
     "--max-findings takes a count"},
    {"the errors beyond the limit still fail the check",
     [](const Bench& b) {
       b.disc().Lines("menu.inf", {"0|0|Quit|Verdana|0012|255|yellow|900|600|6|",
                                   "0|1|B|Verdana|0012|255|65535|900|1800|3|gone.txt|"});
     },
     {"check", "DISC", "--max-findings=1"},
     1,
     Stream::Out,
     "1 more finding not shown"},
    {"explain documents a code", nullptr, {"explain", "duplicate-link"}, 0, Stream::Out, "How to fix it:"},
    {"explain lists the codes", nullptr, {"explain"}, 0, Stream::Out, "  page-stops "},
    {"explain refuses an unknown code and lists them",
     nullptr,
     {"explain", "page-stop"},
     2,
     Stream::Err,
     "  page-stops "},
    {"explain guesses the code meant",
     nullptr,
     {"explain", "page-stop"},
     2,
     Stream::Err,
     "no finding is called \"page-stop\" (did you mean \"page-stops\"?)"},
    {"--ignore guesses the code meant",
     nullptr,
     {"check", "DISC", "--ignore=duplicate-links"},
     2,
     Stream::Err,
     "(did you mean \"duplicate-link\"?)"},
    {"no guess for a word far from every code",
     nullptr,
     {"explain", "banana"},
     2,
     Stream::Err,
     "no finding is called \"banana\"; the codes are:"},
    {"help for a command", nullptr, {"help", "preview"}, 0, Stream::Out, "--overlay"},
    {"preview says when it is told to write into the disc",
     nullptr,
     {"preview", "DISC", "--out", "DISC/pictures", "--page", "0"},
     0,
     Stream::Out,
     "is inside the disc: burned with it unless you remove it"},
    {"new refuses a folder that is not empty",
     nullptr,
     {"new", "DISC"},
     1,
     Stream::Err,
     "is not empty: a starter disc would replace its files"},
    {"new refuses a folder as the program",
     nullptr,
     {"new", "WORK/fresh", "--exe", "DISC"},
     1,
     Stream::Err,
     "is not a file"},
    {"new refuses a missing program",
     nullptr,
     {"new", "WORK/fresh", "--exe", "/no/such.exe"},
     1,
     Stream::Err,
     "--exe /no/such.exe: No such file or directory"},
    {"new refuses a program that is no Windows program",
     nullptr,
     {"new", "WORK/fresh", "--exe", "DISC/menu.inf"},
     1,
     Stream::Err,
     "is not a Windows program"},
    {"new makes the folders above the disc",
     nullptr,
     {"new", "WORK/a/b/fresh", "--exe", "DISC/velmaro.exe"},
     0,
     Stream::Out,
     "A starter disc is in"},
    {"new writes over a disc when forced",
     nullptr,
     {"new", "DISC", "--force", "--exe", "DISC/velmaro.exe"},
     0,
     Stream::Out,
     "A starter disc is in"},
};

TEST(CommandLine, EachGivesItsStatusAndSaysWhy) {
  for (const CommandLine& c : kCommandLines) {
    Bench bench;
    if (c.setup) c.setup(bench);
    Outcome run = bench(c.args);
    EXPECT_EQ(run.status, c.status) << c.what << "\nstdout:\n" << run.out << "stderr:\n" << run.err;
    const std::string& text = c.stream == Stream::Out ? run.out : run.err;
    EXPECT_NE(text.find(c.fragment), std::string::npos) << c.what << ": no \"" << c.fragment << "\" in\n"
                                                        << text;
    if (c.status == 0 && c.stream == Stream::Out) {
      EXPECT_EQ(run.err, "") << c.what;
    }
  }
}

TEST(CommandLine, NewWritesNothingWhenItRefuses) {
  Bench bench;
  // A disc the author has changed: new must leave it as it is.
  bench.disc().Lines("menu.inf", {"0|0|Mine|Verdana|0012|255|65535|900|600|6|"});
  const std::string mine = Slurp(bench.disc().path() + "/menu.inf");
  EXPECT_EQ(bench({"new", "DISC"}).status, 1);
  EXPECT_EQ(Slurp(bench.disc().path() + "/menu.inf"), mine);

  for (const char* exe : {"DISC", "/no/such.exe", "DISC/menu.inf"}) {
    EXPECT_EQ(bench({"new", "WORK/fresh/disc", "--exe", exe}).status, 1) << exe;
    EXPECT_FALSE(fs::exists(bench.work() + "/fresh")) << exe << " left a half-made disc";
  }
}

TEST(CommandLine, PreviewNeverWritesIntoTheDiscByDefault) {
  Bench bench;
  // Run from inside the disc, as an author in its folder does.
  Outcome run = bench({"preview", ".", "--page", "0"}, bench.disc().path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(fs::exists(bench.disc().path() + "/preview"));
  EXPECT_TRUE(fs::exists(bench.disc().path() + "-preview/page-0.png")) << run.out;
  EXPECT_NE(run.out.find(bench.disc().path() + "-preview/page-0.png"), std::string::npos) << run.out;
  fs::remove_all(bench.disc().path() + "-preview");
}

// Names that are not UTF-8, as a disc copied from an old system has: every format says them, none aborts.
TEST(CommandLine, NamesThatAreNotUtf8AreEscapedInEveryFormat) {
  Bench bench;
  const std::string disc = bench.work() + "/old \xE9t\xE9 #1?";
  fs::copy(bench.disc().path(), disc, fs::copy_options::recursive);
  std::ofstream(disc + "/docs/what?\xE9t\xE9.txt") << "x";

  Outcome text = bench({"check", disc});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("docs/what?\\xE9t\\xE9.txt: warning: "), std::string::npos) << text.out;

  Outcome json = bench({"check", disc, "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["disc"], bench.work() + "/old \uFFFDt\uFFFD #1?");
  EXPECT_EQ(parsed["findings"][0]["file"], "docs/what?\uFFFDt\uFFFD.txt");

  Outcome sarif = bench({"check", disc, "--format", "sarif"});
  ASSERT_EQ(sarif.status, 0) << sarif.err;
  nlohmann::json log = nlohmann::json::parse(sarif.out);
  EXPECT_EQ(log["runs"][0]["results"][0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
            "docs/what%3F%E9t%E9.txt");
  std::string base = log["runs"][0]["originalUriBaseIds"]["DISC"]["uri"];
  EXPECT_NE(base.find("/old%20%E9t%E9%20%231%3F/"), std::string::npos) << base;
}

}  // namespace

namespace {

// The Linux program comes onto a new disc with autorun.sh when it is installed beside velmaro.exe, and
// neither comes alone.
TEST(CommandLine, NewCopiesTheLinuxProgramWithAutorunSh) {
  Bench bench;
  const std::string shipped = bench.work() + "/share";
  fs::create_directories(shipped);
  fs::copy_file(bench.disc().path() + "/velmaro.exe", shipped + "/velmaro.exe");
  ASSERT_EQ(bench({"new", "WORK/windows-only", "--exe", "WORK/share/velmaro.exe"}).status, 0);
  EXPECT_FALSE(fs::exists(bench.work() + "/windows-only/velmaro"));
  EXPECT_FALSE(fs::exists(bench.work() + "/windows-only/autorun.sh"));

  std::ofstream(shipped + "/velmaro", std::ios::binary) << std::string(
      "\x7f"
      "ELF\x02\x01",
      6);
  Outcome made = bench({"new", "WORK/both", "--exe", "WORK/share/velmaro.exe"});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string disc = bench.work() + "/both";
  EXPECT_EQ(Slurp(disc + "/velmaro"), Slurp(shipped + "/velmaro"));
  // Started through the loader, from the disc's root, so that no execute bit is needed.
  EXPECT_NE(Slurp(disc + "/autorun.sh").find("exec /lib64/ld-linux-x86-64.so.2 \"$PWD/velmaro\""),
            std::string::npos);
  EXPECT_EQ(Slurp(disc + "/autorun.sh").compare(0, 10, "#!/bin/sh\n"), 0);
  Outcome checked = bench({"check", "WORK/both"});
  EXPECT_EQ(checked.status, 0) << checked.out;
  EXPECT_EQ(checked.out.find("linux-start"), std::string::npos) << checked.out;

  fs::remove(disc + "/autorun.sh");
  checked = bench({"check", "WORK/both"});
  EXPECT_NE(checked.out.find("[linux-start]"), std::string::npos) << checked.out;
}

}  // namespace
