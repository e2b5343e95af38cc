// Process and window helpers of the probe.
#include "bench/program_control_win.h"

#include "app/background_window_win.h"
#include "app/resources/resource_ids.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kConfigTitle[] = "Pipstack Configuration";
// Polling the window list faster than this loads the wineserver that the
// meter and the second start need: at 1 ms the dialog took ten times as long
// to appear.
constexpr DWORD kPollMs = 10;

template <typename Found>
bool WaitUntil(DWORD milliseconds, Found found) {
  const DWORD start = GetTickCount();
  while (!found()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(kPollMs);
  }
  return true;
}

}  // namespace

HWND WaitForPollWindow(DWORD milliseconds) {
  HWND window = nullptr;
  WaitUntil(milliseconds, [&] { return (window = FindWindowA(kPollWindowClass, kPollWindowTitle)) != nullptr; });
  return window;
}

HWND WaitForVisibleConfigDialog(DWORD milliseconds) {
  HWND dialog = nullptr;
  const bool shown = WaitUntil(milliseconds, [&] {
    dialog = FindWindowA(kDialogClass, kConfigTitle);
    return dialog != nullptr && IsWindowVisible(dialog);
  });
  return shown ? dialog : nullptr;
}

bool WaitForHiddenDialog(HWND dialog, DWORD milliseconds) {
  return WaitUntil(milliseconds, [&] { return !IsWindowVisible(dialog); });
}

void PressCloseButton(HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_CLOSE, BN_CLICKED), 0); }

bool AskMeterToQuit(DWORD milliseconds) {
  HWND window = WaitForPollWindow(milliseconds);
  return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}
