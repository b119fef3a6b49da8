// The findings of one check as they are made, and the lines of the configuration files they point into.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/author/check.h"

class FindingList {
 public:
  Finding& Add(std::string file,
               long line,
               long column,
               Severity severity,
               std::string code,
               std::string message) {
    findings_.push_back(
        {std::move(file), line, column, severity, std::move(code), std::move(message), {}, {}});
    return findings_.back();
  }
  std::vector<Finding>& all() { return findings_; }

  // Each configuration file's lines as the program read them, so findings and reports agree on lines.
  std::map<std::string, std::vector<Text>> read;

 private:
  std::vector<Finding> findings_;
};
