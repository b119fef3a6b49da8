// A check's findings written for people (as compilers write diagnostics), for scripts (JSON) and for code
// scanning (SARIF 2.1.0).
#pragma once

#include <ostream>
#include <string>

#include "tools/author/check.h"

void WriteText(std::ostream& out, const CheckResult& result, const std::string& folder);
void WriteJson(std::ostream& out, const CheckResult& result, const std::string& folder);
void WriteSarif(std::ostream& out, const CheckResult& result, const std::string& folder);
