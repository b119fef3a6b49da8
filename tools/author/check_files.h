// The findings that need no run of the program: the files the configuration names (there, in other letter
// case, a picture the program shows, a wave sound), what the configuration files were read as, the names the
// disc's file system would change, and autorun.inf.
#pragma once

#include <string>

#include "platform/textfile.h"
#include "tools/author/check_findings.h"
#include "tools/author/check_host.h"

class FileChecks {
 public:
  FileChecks(CheckHost& host, FindingList& findings, const CheckOptions& options)
      : host_(host), findings_(findings), options_(options) {}

  // A file a configuration line names, with a finding when it is missing or there in other letter case.
  // `missing` says what the user meets without it.
  DiscFile Named(const Text& relative,
                 const std::string& file,
                 long line,
                 long column,
                 const std::string& missing);
  // A picture line of kavo.inf; `window` is "splash" or "menu".
  void Picture(const Text& relative, const std::string& file, long line, const std::string& window);
  // A sound; `what` is "the background sound", "link 3", ...
  void Sound(const Text& relative, const std::string& file, long line, long column, const std::string& what);
  bool IsWave(const DiscFile& file);

  // What a configuration file was read as, and where an ANSI one holds text outside ASCII.
  std::string Encoding(const std::string& file, TextEncoding encoding);
  void Names();
  void Autorun();

 private:
  CheckHost& host_;
  FindingList& findings_;
  const CheckOptions& options_;
};

// Every line of a configuration file, read by the program's own reader; blank lines kept in place.
std::vector<Text> ReadConfigLines(const Text& path, TextEncoding* encoding = nullptr);

extern const Text kDiscRoot;  // D:\, where the program finds itself on the disc
