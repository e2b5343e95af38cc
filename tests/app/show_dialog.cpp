// Shows one of the program's dialogs with the default settings for a few
// seconds, for docs/take_screenshots.sh to photograph. Not a test.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/about_dialog_win.h"
#include "app/background_window_win.h"
#include "app/led_patterns_dialog_win.h"
#include "app/resources/resource_ids.h"
#include "app/source_dialog_win.h"
#include "core/meter_settings.h"
#include "tests/fakes/app_fakes.h"
#include "tests/fakes/meter_io_fakes.h"
#include "tests/fakes/source_fakes.h"

namespace {

constexpr int kDefaultFloors[] = {0, 10, 20, 30, 40, 55, 70, 85};

void LoadDefaults() {
  for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, kDefaultFloors[i], 100);
  SetMeterOptions(0, 40);
  sources.pdhAvailable = 1;
  sources.counterPaths.fill("\\Processor(_Total)\\% Processor Time");
}

HWND ShowSmallDialog(HINSTANCE instance, int id) {
  DLGPROC procedure = id == IDD_TEST ? TestDialogProc : id == IDD_SOURCE ? SourceDialogProc : AboutDialogProc;
  const HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(id), nullptr, procedure, 0);
  ShowWindow(dialog, SW_SHOW);
  return dialog;
}

}  // namespace

int main(int argc, char** argv) {
  const int id = argc > 1 ? std::atoi(argv[1]) : IDD_CONFIG;
  const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 5;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  LoadDefaults();
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
