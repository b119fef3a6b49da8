// Text as the program holds it: one element per character of the system's ANSI code page, already decoded.
// Holding characters rather than bytes keeps a double-byte character whose trail byte equals "|" in one
// piece. The platform converts back to the same code page when it hands a name to an ANSI operation.
#pragma once

#include <cstddef>
#include <string>

using Text = std::wstring;

// The 1-based substring of the classic string functions: never fails, clips to the text.
Text Mid(const Text& s, std::size_t start, std::size_t length = Text::npos);

// UTF-8 for transcripts, test output and the fake disc; not used for anything the program hands to Windows.
std::string ToUtf8(const Text& s);
Text FromUtf8(const std::string& s);
