// Starting pipstack.exe and its floor as processes, finding the program's
// windows, and asking it to quit, from the probe.
#pragma once

#include <windows.h>

#include <string>

#include "tools/process/started_process_win.h"

// The running meter's poll window, waiting up to the time for it.
HWND WaitForPollWindow(DWORD milliseconds);
// The configuration dialog once it is visible, or null after the time.
HWND WaitForVisibleConfigDialog(DWORD milliseconds);
// Waits until the dialog is hidden again; false after the time.
bool WaitForHiddenDialog(HWND dialog, DWORD milliseconds);

// Presses the dialog's Close button: the meter resumes.
void PressCloseButton(HWND dialog);
// Closes the poll window, which ends the meter as its Quit button does.
bool AskMeterToQuit(DWORD milliseconds);

// The folder this executable lives in, with a trailing separator.
std::string OwnFolder();
