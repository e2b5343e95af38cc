// The poll loop: at most one window message per pass, then an update cycle
// unless the configuration dialog is shown.
#include "core/poll_loop_win.h"

#include "core/led_update.h"

namespace {

// Set when the poll window is destroyed; never cleared.
bool quitRequested = false;
// While the configuration dialog is shown the meter pauses.
bool configVisible = false;
PassObserver passObserver = nullptr;

// Handles the next message if one is pending; returns false when it was the
// quit message. While paused with nothing pending it waits for a message
// instead of spinning, so the shown dialog costs no processor time.
bool PumpOneMessage(HWND configDialog) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (configVisible) WaitMessage();
    return true;
  }
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0) return false;
  if (got == -1) return true;
  if (configDialog == nullptr || !IsDialogMessageA(configDialog, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace

bool IsQuitRequested() { return quitRequested; }

void RequestQuit() { quitRequested = true; }

bool IsConfigVisible() { return configVisible; }

void SetConfigVisible(bool visible) { configVisible = visible; }

void SetPassObserver(PassObserver observer) { passObserver = observer; }

void ResetRunState() {
  quitRequested = false;
  configVisible = false;
  passObserver = nullptr;
}

int32_t RunPollLoop(HWND configDialog) {
  if (quitRequested) return 0;
  for (;;) {
    if (!PumpOneMessage(configDialog)) return 0;
    if (!configVisible) {
      const int32_t status = UpdateLeds();
      if (status != kUpdateOk) return status;
    }
    if (passObserver != nullptr) passObserver();
    if (quitRequested) return 0;
  }
}
