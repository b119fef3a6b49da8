// What each finding code means on a disc, how to fix it and a short example: `velmaro-author explain CODE`.
#pragma once

#include <ostream>
#include <string>

struct Explanation {
  const char* code;
  const char* meaning;  // what the user of the disc meets
  const char* fix;      // what the author changes
  const char* example;  // a wrong line, then the right one
};

// The documentation of a finding code; nullptr for a code that has none.
const Explanation* FindExplanation(const std::string& code);

// The explanation as `explain` prints it: the code with its short description, then the three parts.
void WriteExplanation(std::ostream& out, const Explanation& explanation);

// The known code nearest to a mistyped one ("page-stop" gives "page-stops"); empty when none is near.
std::string NearestCode(const std::string& code);

// Every finding code with its short description, one a line, for `explain` without a code.
void WriteCodeList(std::ostream& out);
