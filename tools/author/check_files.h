// The findings that need no run of the program: the files the configuration names (there, in other letter
// case, a picture the program shows, a wave sound), what the configuration files were read as, the names the
// disc's file system would change, and autorun.inf.
#pragma once

#include <optional>
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
  LookedUpFile Named(const Text& relative,
                     const std::string& file,
                     long line,
                     long column,
                     const std::string& missing);
  // A picture line of kavo.inf; `window` is "splash" or "menu".
  void Picture(const Text& relative, const std::string& file, long line, const std::string& window);
  // A sound; `what` is "the background sound", "link 3", ...
  void Sound(const Text& relative, const std::string& file, long line, long column, const std::string& what);
  bool IsWave(const LookedUpFile& file);
  // A name on the disc near one that is missing (another extension, a letter or two apart), as a note and
  // a fix on the finding.
  void SuggestNear(Finding& finding, const Text& relative);
  // Why a name that is there in some form was not found: a note on the finding.
  void WhyNotFound(Finding& finding, const LookedUpFile& file);

  // What a configuration file was read as, and where an ANSI one holds text outside ASCII.
  std::string Encoding(const std::string& file, TextEncoding encoding);
  void Utf8Guess(const std::string& file, const std::vector<Text>& lines);
  void Names();
  const std::vector<DiscName>& AllNames();
  void Autorun();

 private:
  CheckHost& host_;
  FindingList& findings_;
  const CheckOptions& options_;
  std::optional<std::vector<DiscName>> names_;
};

// Every line of a configuration file, read by the program's own reader; blank lines kept in place.
std::vector<Text> ReadConfigLines(const Text& path, TextEncoding* encoding = nullptr);

extern const Text kDiscRoot;  // D:\, where the program finds itself on the disc
