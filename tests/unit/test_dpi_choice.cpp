// The DPI a window is drawn at on each generation of Windows: its own query, its monitor's, the system's.
#include <gtest/gtest.h>

#include "platform/win32/dpi_choice.h"

namespace {

unsigned At144(const void*) {
  return 144;
}
unsigned At120(const void*) {
  return 120;
}
unsigned NoAnswer(const void*) {
  return 0;
}
unsigned System96() {
  return 96;
}
unsigned System192() {
  return 192;
}
unsigned SystemNone() {
  return 0;
}

TEST(DpiChoice, EachWindowsGenerationGetsItsBestSource) {
  int window = 0;
  struct Case {
    const char* what;
    DpiSources sources;
    const void* hwnd;
    unsigned dpi;
  } cases[] = {
      {"Windows 10 1607 on: the window's own", {At144, At120, System96}, &window, 144},
      {"Windows 8.1 and 10 before 1607: its monitor's", {nullptr, At120, System96}, &window, 120},
      {"the window's query has no answer: its monitor's", {NoAnswer, At120, System96}, &window, 120},
      {"Windows 7 and XP: the system's", {nullptr, nullptr, System192}, &window, 192},
      {"the monitor's query fails: the system's", {nullptr, NoAnswer, System192}, &window, 192},
      {"no window: the system's", {At144, At120, System192}, nullptr, 192},
      {"no answer anywhere: 96", {NoAnswer, NoAnswer, SystemNone}, &window, 96},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseDpi(c.sources, c.hwnd), c.dpi) << c.what;
}

}  // namespace
