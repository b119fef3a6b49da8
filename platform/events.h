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

// Every window member, module variable and label as a new process has them: for platforms that run the
// program more than once in one process (the tests' fake, the author tools).
void NewProcess();

}  // namespace events
