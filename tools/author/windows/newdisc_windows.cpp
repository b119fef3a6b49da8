#include "tools/author/newdisc.h"

bool WriteStarterDisc(const std::string&, const std::string&, bool, std::string* error) {
  *error = "not in the Windows build yet";
  return false;
}
