// The loop the program lives in: one window message, then one update cycle.
#pragma once

#include <windows.h>

#include <cstdint>

// Set to 1 when the poll window is destroyed; never cleared.
extern int32_t quitRequested;
// 1 while the configuration dialog is shown; the meter pauses meanwhile.
extern int32_t configVisible;

int32_t IsQuitRequested();
int32_t IsConfigVisible();

// Runs until a quit is requested (0) or an update cycle fails (its status).
// configDialog gets the keyboard navigation of its messages.
int32_t RunPollLoop(HWND configDialog);

// Both flags back to 0, as at process start.
void ResetRunState();
