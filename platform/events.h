// What the platform calls into: one entry per event of the three windows. Each is an event boundary: an
// error raised by the logic is caught here and the event is abandoned silently, so no click, pointer move or
// timer can end or crash the program.
#pragma once

#include <cstdint>

namespace events {

void MainLoad();   // frmMain load: the start-up sequence
void TimerTick();  // tmrSS elapsed
void MenuLoad();   // frmMenu created, at its first use
void MenuActivate();
void MenuUnload();  // the user closed the menu window
void LabelClick(int16_t index);
void LabelMouseMove(int16_t index);
void BackgroundMouseMove();

// The menu window's keys. Moving goes through the links shown, in reading order, and wraps around.
enum class MenuKey { Next, Previous, First, Last, Perform };
void MenuKeyDown(MenuKey key);
// A character typed into the menu window, with Alt held or not: a link's access key works either way. True
// when a link claimed it; a character no link claims is left to the system.
bool MenuCharacter(wchar_t c);

// Every window member, module variable and label as a new process has them: for platforms that run the
// program more than once in one process (the tests' fake, the author tools).
void NewProcess();

}  // namespace events
