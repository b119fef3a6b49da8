// The three windows: frmMain (hidden, owns tmrSS), frmSplash (no frame, holds pctSS) and frmMenu (fixed tool
// window, holds pctBG with the labels). frmMain is created by the entry; the others hidden at first use.
#pragma once

#include "platform/platform.h"
#include "platform/win32/boundary.h"
#include "platform/win32/gate.h"
#include "platform/win32/picture_box.h"
#include "platform/win32/win.h"

// Registers the window classes and creates frmMain. Returns false when Windows refuses.
bool CreateMainForm(HINSTANCE instance);

// The window, created hidden at its first use (frmMenu's creation raises its load event).
HWND Form(Win window);
// The window if it has been created, else null; for uses that must not create it.
HWND ExistingForm(Win window);
PictureBox& BoxOf(Box box);
inline PictureBox& MenuBox() {
  return BoxOf(Box::BG);
}

// Calls into the logic from a window procedure. The logic catches its own errors; anything else still
// stops here (boundary.h), and ends the program when it left nothing on screen. What comes from outside
// (the pointer, keys, screen readers) goes in through the gate (gate.h) with the time of its message.
EventGate& Events();
template <class Event>
void RaiseEvent(Event&& event) {
  Events().Raise(event);
}
// The time of the message being handled, on the gate's clock.
uint32_t MessageTime();
