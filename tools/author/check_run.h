// The check's run of the program itself over the disc: the start-up that kavo.inf makes, each page of
// menu.inf loaded as the program loads it, each shown link measured and clicked. Every verdict is the
// program's; positions come from where its own page loader stopped.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "menu/modRoutines.h"
#include "platform/errors.h"
#include "startup/kavo.h"
#include "tools/author/check_files.h"

class LogicRun {
 public:
  LogicRun(CheckHost& host, FindingList& findings, FileChecks& files, CheckResult& result)
      : host_(host), findings_(findings), files_(files), result_(result) {}

  void Kavo();
  void Menu();

 private:
  struct MenuLine {
    long number;
    const Text& text;  // as the program read it, kept once in the finding list
    bool pageOk;
    double page;
  };

  void FreshProcess();
  std::vector<const MenuLine*> PageLines(int page, long before) const;
  bool PageNamed(int page) const;
  void ReportStop(int page, ErrorKind kind, LoadPosition at, const PageVerdict& verdict);
  void Links(int page, const PageVerdict& verdict, long stoppedAt, std::set<int>* targets);
  void Box(int page, int link, const MenuLine& line);
  void Overlaps(int page, const PageVerdict& verdict, const std::map<int, const MenuLine*>& lastLine);
  void Action(int page, int link, const MenuLine& line, std::set<int>* targets);
  void Reachability(const std::set<int>& pages, const std::map<int, std::set<int>>& targets);
  void Silences();
  void Explain(Finding& finding, int field, const Text& value);
  void FinalBar(const MenuLine& line, int kind, const Text& argument, std::size_t findingsBefore);
  void MissingProgram(Finding& finding, const Text& file);
  void Separators(const MenuLine& line);

  CheckHost& host_;
  FindingList& findings_;
  FileChecks& files_;
  CheckResult& result_;
  LaunchConfig config_;
  bool menuOn_ = false;
  TwipSize background_{5415, 3615};
  bool backgroundShown_ = false;
  std::size_t outsideUnseen_ = 0;  // links outside the empty box a menu picture that does not show leaves
  std::vector<MenuLine> lines_;
  std::set<long> stopsEverywhere_;  // lines whose page field stops every page, said once
};
