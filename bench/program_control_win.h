// Starting pipstack.exe and its floor as processes, finding the program's
// windows, and asking it to quit, from the probe.
#pragma once

#include <windows.h>

#include <string>

// A started process; its handles are closed when it goes out of scope.
class StartedProcess {
 public:
  StartedProcess() = default;
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  // Runs exe with the text after its name, in the given working folder.
  bool Start(const std::string& exe, const std::string& arguments, const std::string& folder);
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool WaitForExit(DWORD milliseconds) const;

 private:
  PROCESS_INFORMATION info_{};
};

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
