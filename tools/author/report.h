// A check's findings written for people (as compilers write diagnostics), for scripts (JSON) and for code
// scanning (SARIF 2.1.0).
#pragma once

#include <cstddef>
#include <ostream>
#include <set>
#include <string>

#include "tools/author/check.h"

struct ReportOptions {
  std::set<std::string> ignore;    // codes left out of the report, the counts and the exit status
  bool warningsAreErrors = false;  // --werror: warnings are reported, counted and failed on as errors
  std::size_t maxFindings = 100;   // the text report stops after this many (0: no limit); JSON and SARIF
                                   // always hold every finding
};

// The findings the options keep, with the severities they give: what every format writes.
CheckResult Reported(const CheckResult& result, const ReportOptions& options);

// 0 clean (warnings and notes allowed), 1 with errors; of a reported result.
int ExitStatus(const CheckResult& reported);

void WriteText(std::ostream& out,
               const CheckResult& reported,
               const std::string& folder,
               const ReportOptions& options = {});
void WriteJson(std::ostream& out, const CheckResult& reported, const std::string& folder);
void WriteSarif(std::ostream& out, const CheckResult& reported, const std::string& folder);
