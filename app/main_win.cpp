// The program's entry point: one meter per session, brought up in order, the
// poll loop, and close down.
#include <windows.h>

#include <string>

#include "app/about_dialog_win.h"
#include "app/background_window_win.h"
#include "app/lifecycle_win.h"
#include "app/notify_icon_win.h"
#include "app/notify_tip.h"
#include "core/poll_loop_win.h"
#include "core/scoped_win.h"
#include "port/led_output.h"
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

// How the tooltip and the about box name the output: the parallel port by
// its name and address, a USB output by its device.
std::string OutputLabel() {
  if (LedOutputInUse() != kOutputParallel) return UsbOutputLabel();
  const bool virtualPort = PortIoLibraryInUse() == kPortIoVirtual;
  return PortLabel(PortName(), CurrentPortState().dataPort, virtualPort);
}

// The meter's icon in the notification area, named after the output.
void ShowInNotificationArea() { StartNotifyIcon(PollWindow(), OutputLabel(), IsLedOutputConnected); }

// The about box names a USB output; of a parallel port it says only when it
// is the virtual one.
void NameOutputInAbout() { SetAboutOutputName(UsbOutputLabel()); }

// A USB output that went away is looked for again this often, from the
// poll window's timer, which runs in the meter's pauses and while the
// dialogs are shown as well.
constexpr UINT_PTR kOutputRetryTimer = 1;
void CALLBACK RetryOutput(HWND, UINT, UINT_PTR, DWORD) { RetryLedOutput(); }

void StartOutputRetries() {
  if (LedOutputInUse() == kOutputSerial || LedOutputInUse() == kOutputFtdi) {
    SetTimer(PollWindow(), kOutputRetryTimer, kOutputRetryMs, RetryOutput);
  }
}

// The message for an output that did not open: the parallel port's as it
// always was, a USB output's naming the device and the reason.
const char* OpenFailureText(int32_t status) {
  switch (status) {
    case kOpenOutputNoneFound:
      return kNoPortText;
    case kOpenOutputUsbFailed:
      return LedOutputFailure().c_str();
    default:
      return kPortFailedText;
  }
}

// Everything after the sources: the LED output, settings, windows, the loop.
void RunMeter(HINSTANCE instance, const char* commandLine) {
  const int32_t opened = OpenLedOutput(PortNameArgument(commandLine));
  if (opened != kOpenOutputOk) {
    ShowFailure(OpenFailureText(opened));
    CloseDown();
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
  NameOutputInAbout();
  StartOutputRetries();
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
