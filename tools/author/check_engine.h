// The check over any machine that can answer for a disc: the program's run and the file findings together,
// in the order of the files, with the lines they point into.
#pragma once

#include "tools/author/check.h"
#include "tools/author/check_host.h"

CheckResult RunCheck(CheckHost& host, const CheckOptions& options);
