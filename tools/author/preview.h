// Each page of a disc drawn as the program lays it out, into PNG files.
#pragma once

#include <string>
#include <vector>

// The preview command with its arguments; returns the exit status.
int Preview(const std::vector<std::string>& args);
