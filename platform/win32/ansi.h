// Text goes to the ANSI operations in the system's code page only where it fits exactly (call_choice.h), and
// comes back from them the same way.
#pragma once

#include <string>

#include "platform/text.h"
#include "platform/win32/call_choice.h"

Text FromAnsi(const char* bytes, std::size_t length);
inline Text FromAnsi(const std::string& bytes) {
  return FromAnsi(bytes.data(), bytes.size());
}

// The system's ANSI code page, for choosing between an ANSI call and its wide twin (call_choice.h).
const CodePage& AnsiCodePage();
