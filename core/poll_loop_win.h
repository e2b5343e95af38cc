// The loop the program lives in: one window message, then one update cycle.
#pragma once

#include <windows.h>

#include <cstdint>

// The run-state flags the loop steers by. A quit is requested when the poll
// window is destroyed and is never taken back; the configuration dialog is
// visible while it is shown, and the meter pauses meanwhile.
bool IsQuitRequested();
void RequestQuit();
bool IsConfigVisible();
void SetConfigVisible(bool visible);

// Runs until a quit is requested (0) or an update cycle fails (its status).
// configDialog gets the keyboard navigation of its messages.
int32_t RunPollLoop(HWND configDialog);

// For the meter's pause between LED bytes (meter_wait_win.cpp): handles one
// waiting message as a pass of the loop does. False when the program is to
// end: a quit was requested, or the quit message was next, which stays for
// the loop to end on.
bool HandleMessageWhileWaiting();

// Called at the end of every pass, paused or not, so that what shows the
// meter outside the port (the notification icon) follows it without a timer
// of its own. Null for none.
using PassObserver = void (*)();
void SetPassObserver(PassObserver observer);

// Both flags cleared and no observer, as at process start.
void ResetRunState();
