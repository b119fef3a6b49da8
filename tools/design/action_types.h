// The link actions the program knows, by what they do for the user, with what their argument holds.
#pragma once

#include <cstddef>

#include "platform/text.h"

// What the argument names, and so how the author gives it.
enum class ArgumentKind {
  None,          // the action takes no argument: the program ignores what the line holds there
  DiscProgram,   // a program of the disc, then " -" and its parameters
  WebAddress,    // a URL, or a full path of this computer
  MailAddress,   // an e-mail address, without "mailto:"
  DiscDocument,  // any file of the disc
  PageNumber,    // the page to show
  DiscSound,     // a WAV file of the disc
};

struct ActionType {
  int code;                // the action field's number
  const wchar_t* meaning;  // as the author chooses it
  ArgumentKind argument;
  const wchar_t* hint;  // what to write as the argument
};

// All nine, in the order an author looks for them (most used first), not by code.
constexpr std::size_t kActionTypeCount = 9;
const ActionType* ActionTypes();
// The type of that code; null for a code the program has no action for.
const ActionType* ActionTypeOfCode(int code);
// The code the program stores for the action field, as the page loader compares it; -1 when it stores
// nothing (not a number, or no type 0 to 8), so the link does nothing when clicked.
int ActionCodeOfField(const Text& field);

// Whether a disc program's name would be cut short where the program splits a launch command: at a blank
// followed by a dash ("my -tool.exe" launches "my").
bool ProgramNameSplits(const Text& relativePath);
// Why such a name cannot be chosen, for the author.
Text ProgramNameSplitsMessage(const Text& relativePath);
// The argument of a program link after a new program was chosen: its parameters stay.
Text ReplaceLaunchedProgram(const Text& argument, const Text& program);
