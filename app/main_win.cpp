// The program's entry point: one meter per session, brought up in order, the
// poll loop, and close down.
#include <windows.h>

#include <string>

#include "app/background_window_win.h"
#include "app/lifecycle_win.h"
#include "app/notify_icon_win.h"
#include "app/notify_tip.h"
#include "core/poll_loop_win.h"
#include "core/scoped_win.h"
#include "port/parallel_port.h"
#include "port/port_discovery.h"
#include "port/port_io_driver.h"
#include "settings/settings_store.h"

namespace {

// An elevated program must never pick up a port-I/O library or pdh.dll from the
// current folder or PATH: only the program's own folder and the system folder
// are searched, where the platform offers that restriction.
void RestrictLibrarySearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  decltype(&SetDefaultDllDirectories) restrictSearch = nullptr;
  if (kernel == nullptr || !ResolveEntryPoint(kernel, "SetDefaultDllDirectories", &restrictSearch)) return;
  restrictSearch(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The port name on the command line: control characters and blanks at the
// front are skipped, the rest is taken whole.
const char* PortNameArgument(const char* commandLine) {
  if (commandLine == nullptr) return "";
  while (*commandLine != '\0' && static_cast<unsigned char>(*commandLine) <= ' ') ++commandLine;
  return commandLine;
}

// How long a second start looks for the running meter's poll window, and
// how often: a meter started a moment earlier holds the mutex well before
// its window exists.
constexpr DWORD kMeterWindowWaitMs = 5000;
constexpr DWORD kMeterWindowPollMs = 50;

// The running meter's poll window, waited for; null when none appeared.
HWND WaitForMeterWindow() {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND running = FindWindowA(kPollWindowClass, kPollWindowTitle);
    if (running != nullptr || GetTickCount() - start >= kMeterWindowWaitMs) return running;
    Sleep(kMeterWindowPollMs);
  }
}

// A second start asks the running meter to show its configuration dialog.
void SignalRunningInstance() {
  HWND running = WaitForMeterWindow();
  if (running != nullptr) SendMessageA(running, kShowConfigMessage, 0, 0);
}

// The meter's icon in the notification area, named after the open port.
void ShowInNotificationArea() {
  const bool virtualPort = PortIoLibraryInUse() == kPortIoVirtual;
  StartNotifyIcon(PollWindow(), PortLabel(PortName(), CurrentPortState().dataPort, virtualPort));
}

// Everything after the sources: port, settings, windows, the loop.
void RunMeter(HINSTANCE instance, const char* commandLine) {
  const char* named = PortNameArgument(commandLine);
  if (*named != '\0') {
    SetPortName(named);
  } else {
    EnumParallelPorts(RememberFirstPort);
  }
  const std::string& portName = PortName();
  if (portName.empty() || OpenParallelPort(portName.c_str()) != 0) {
    ShowFailure(portName.empty() ? kNoPortText : kPortFailedText);
    StopSources();
    CloseInstanceMutex();
    return;
  }
  if (LoadSettings() != 0) {
    ShowFailure(kSettingsFailedText);
    CloseDown();
    return;
  }
  if (CreateBackgroundWindow(instance) != 0) {
    ShowFailure(kWindowFailedText);
    CloseDown();
    return;
  }
  ShowInNotificationArea();
  const int32_t status = RunPollLoop(ConfigDialog());
  // Gone before a failure's box, and after a quit message from elsewhere,
  // which leaves the poll window in place.
  RemoveNotifyIcon();
  if (status == 0) {
    SaveSettingsAtQuit();
  } else {
    ShowFailure(kUpdateFailedText);
  }
  CloseDown();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  RestrictLibrarySearch();
  SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);

  switch (TakeInstanceMutex()) {
    case kInstanceNoMutex:
      ShowFailure(kMutexFailedText);
      return 0;
    case kInstanceAlreadyRunning:
      SignalRunningInstance();
      return 0;
    case kInstanceFirst:
      break;
  }

  if (const char* failure = StartSources()) {
    ShowFailure(failure);
    CloseInstanceMutex();
    return 0;
  }
  RunMeter(instance, commandLine);
  return 0;
}
