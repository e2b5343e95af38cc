// Start and stop of the sources, close down, and the end of a Windows session.
#include "app/lifecycle_win.h"

#include "app/session_end.h"
#include "port/led_output.h"
#include "port/port_discovery.h"
#include "settings/settings_store.h"
#include "sources/legacy_sources.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"

namespace {

// The single-instance mutex, held until close down.
HANDLE instanceMutex = nullptr;

}  // namespace

InstanceStatus TakeInstanceMutex() {
  instanceMutex = CreateMutexA(nullptr, FALSE, kMutexName);
  if (instanceMutex == nullptr) return kInstanceNoMutex;
  // The handle of a second start is left to the end of its process.
  return GetLastError() == ERROR_ALREADY_EXISTS ? kInstanceAlreadyRunning : kInstanceFirst;
}

void ShowFailure(const char* text) { MessageBoxA(nullptr, text, kMessageCaption, MB_OK | MB_ICONERROR); }

const char* StartSources() {
  if (IsPdhAvailable()) return StartPdhMonitor() == 0 ? nullptr : kPdhFailedText;
  if (StartCpuMonitor() != 0) return kCpuFailedText;
  StartMemoryMonitor();
  return nullptr;
}

void StopSources() {
  if (IsPdhAvailable()) {
    StopPdhMonitor();
    return;
  }
  StopCpuMonitor();
  StopMemoryMonitor();
}

void SaveSettingsAtQuit() {
  if (SaveSettings() == 0) return;
  // The quit message may still wait in the queue, and a box's own message
  // loop would end on it before the user saw the box.
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  ShowFailure(kSaveFailedText);
}

void CloseInstanceMutex() {
  if (instanceMutex == nullptr) return;
  CloseHandle(instanceMutex);
  instanceMutex = nullptr;
}

void CloseDown() {
  CloseLedOutput();
  ForgetPortName();
  StopSources();
  CloseInstanceMutex();
}

// Windows may end the process as soon as this returns, so everything a quit
// does happens now; a failed save is not told, as no box could wait for OK.
// Ending the process here ourselves keeps the poll loop from running another
// update cycle on the port that is already closed.
void SaveAndRestoreForSessionEnd() {
  SaveSettings();
  CloseDown();
  ExitProcess(0);
}
