#include "tools/design/action_types.h"

#include "launch/launch.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace {

const ActionType kTypes[kActionTypeCount] = {
    {3, L"open a document of the disc", ArgumentKind::DiscDocument, L"a file of the disc: docs\\guide.pdf"},
    {0, L"start a program of the disc", ArgumentKind::DiscProgram,
     L"a program of the disc, then a blank, a dash and its parameters: setup.exe -s"},
    {1, L"open a web page", ArgumentKind::WebAddress,
     L"a web address, or a full path of the user's computer: https://example.org/"},
    {2, L"write a mail", ArgumentKind::MailAddress, L"an e-mail address: info@example.org"},
    {5, L"show another page", ArgumentKind::PageNumber, L"the number of the page to show"},
    {8, L"play a sound of the disc", ArgumentKind::DiscSound, L"a WAV file of the disc: sounds\\hello.wav"},
    {4, L"open the disc's folder", ArgumentKind::None, L"no argument"},
    {6, L"quit", ArgumentKind::None, L"no argument"},
    {7, L"nothing (a heading)", ArgumentKind::None, L"no argument"},
};

}  // namespace

const ActionType* ActionTypes() {
  return kTypes;
}

const ActionType* ActionTypeOfCode(int code) {
  for (const ActionType& type : kTypes)
    if (type.code == code) return &type;
  return nullptr;
}

int ActionCodeOfField(const Text& field) {
  double value;
  try {
    value = ToDouble(field);
  } catch (const AppError&) {
    return -1;
  }
  for (int code = 0; code <= 8; ++code)
    if (value == code) return code;
  return -1;
}

bool ProgramNameSplits(const Text& relativePath) {
  return SplitLaunchCommand(relativePath).file != relativePath;
}

Text ProgramNameSplitsMessage(const Text& relativePath) {
  return L"The program would start \"" + SplitLaunchCommand(relativePath).file + L"\" instead of \"" +
         relativePath +
         L"\": a blank followed by a dash ends a program's name. Rename the file or its folder.";
}

Text ReplaceLaunchedProgram(const Text& argument, const Text& program) {
  Text parameters = SplitLaunchCommand(argument).parameters;
  // A command that ends in " -" splits there with no parameters; it keeps no dash either.
  return parameters.empty() ? program : program + L" -" + parameters;
}
