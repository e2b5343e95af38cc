// Shows one of the program's dialogs, or the notification icon with its
// tooltip and then its menu, with the default settings for a few seconds, for
// docs/take_screenshots.sh to photograph. Not a test.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/about_dialog_win.h"
#include "app/background_window_win.h"
#include "app/led_patterns_dialog_win.h"
#include "app/notify_icon_win.h"
#include "app/resources/resource_ids.h"
#include "app/source_dialog_win.h"
#include "core/led_update.h"
#include "core/meter_settings.h"
#include "tests/fakes/app_fakes.h"
#include "tests/fakes/meter_io_fakes.h"
#include "tests/fakes/source_fakes.h"

namespace {

constexpr int kDefaultFloors[] = {0, 10, 20, 30, 40, 55, 70, 85};
constexpr char kProcessorTime[] = "\\Processor(_Total)\\% Processor Time";
constexpr int kTrayMode = 0;  // the icon, its tooltip and its menu instead of a dialog

// The defaults, the processor at 37 % on LEDs 1 to 6; LED 7 watches the
// network, LED 8 a counter that cannot be read.
void LoadDefaults() {
  for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, kDefaultFloors[i], 100);
  SetLedRange(6, 1000, 1000000);
  SetMeterOptions(kInterpolationOff, 40);
  sources.pdhAvailable = 1;
  sources.counterPaths.fill(kProcessorTime);
  sources.counterPaths[6] = "\\Network Interface(eth0)\\Bytes Total/sec";
  sources.counterPaths[7] = "\\PhysicalDisk(1 D:)\\% Disk Time";
  sources.readings.fill({37, true});
  sources.readings[6] = {5321, true};
  sources.readings[7] = {0, false};
  // One update cycle, so that the icon has a frame to show.
  fakes.allValues = {37, 37, 37, 37, 37, 37, 5321, 0};
  UpdateLeds();
}

HWND ShowSmallDialog(HINSTANCE instance, int id) {
  DLGPROC procedure = id == IDD_TEST ? TestDialogProc : id == IDD_SOURCE ? SourceDialogProc : AboutDialogProc;
  const HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(id), nullptr, procedure, 0);
  ShowWindow(dialog, SW_SHOW);
  return dialog;
}

// Handles this thread's messages for the given time.
void PumpFor(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Inside the menu's loop: the mouse moves onto its first item, which hides
// the tooltip; a second later the menu closes.
void CALLBACK PointAtFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menu));
  if (menu == nullptr) return;
  KillTimer(nullptr, timer);
  RECT rect;
  GetWindowRect(menu, &rect);
  SetCursorPos(rect.left + 30, rect.top + 10);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}

// The icon in the taskbar's notification area: the mouse on it for the given
// time (its tooltip shows), then its menu open for as long.
int ShowIconAndMenu(HINSTANCE instance, DWORD seconds) {
  if (CreateBackgroundWindow(instance) != 0) return 1;
  StartNotifyIcon(PollWindow(), "LPT1 (0x378)");
  FollowMeter();
  HWND tray = nullptr;
  for (int tries = 0; tries < 100 && (tray = FindWindowA("Shell_TrayWnd", nullptr)) == nullptr; ++tries) Sleep(100);
  if (tray == nullptr) return 1;
  RECT bar;
  GetWindowRect(tray, &bar);
  // The area's icons sit at the bar's right end, ours the only one.
  const int cell = GetSystemMetrics(SM_CXSMICON) + 4;
  SetCursorPos(bar.right - cell / 2, (bar.top + bar.bottom) / 2);
  PumpFor(seconds * 1000);
  SetTimer(nullptr, 0, 300, PointAtFirstItem);
  SetTimer(nullptr, 0, seconds * 1000, CloseMenu);
  SendMessageA(PollWindow(), kNotifyIconMessage, kNotifyIconId, WM_RBUTTONUP);
  RemoveNotifyIcon();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int id = argc > 1 ? std::atoi(argv[1]) : IDD_CONFIG;
  const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 5;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  LoadDefaults();
  if (id == kTrayMode) return ShowIconAndMenu(instance, seconds);
  HWND dialog = nullptr;
  if (id == IDD_CONFIG) {
    if (CreateBackgroundWindow(instance) != 0) return 1;
    dialog = ConfigDialog();
    SendMessageA(PollWindow(), kShowConfigMessage, 0, 0);
  } else {
    dialog = ShowSmallDialog(instance, id);
  }
  if (dialog == nullptr) return 1;
  const DWORD end = GetTickCount() + seconds * 1000;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
    }
    Sleep(20);
  }
  return 0;
}
