// The poll loop: at most one window message per pass, then an update cycle
// unless the configuration dialog is shown.
#include "core/poll_loop_win.h"

#include "core/led_update.h"

namespace {

// Set when the poll window is destroyed; never cleared.
bool quitRequested = false;
// While the configuration dialog is shown the meter pauses.
bool configVisible = false;
// The running loop's configuration dialog, which gets the keyboard
// navigation of its messages, in the loop's passes and in the meter's pauses.
HWND loopDialog = nullptr;

void Dispatch(MSG* msg) {
  if (loopDialog == nullptr || !IsDialogMessageA(loopDialog, msg)) {
    TranslateMessage(msg);
    DispatchMessageA(msg);
  }
}
PassObserver passObserver = nullptr;

// Handles the next message if one is pending; returns false when it was the
// quit message. While paused with nothing pending it waits for a message
// instead of spinning, so the shown dialog costs no processor time.
bool PumpOneMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (configVisible) WaitMessage();
    return true;
  }
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0) return false;
  if (got == -1) return true;
  Dispatch(&msg);
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

bool HandleMessageWhileWaiting() {
  MSG msg;
  if (!quitRequested && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The loop ends on it: it goes back for the loop's next pass to find.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    Dispatch(&msg);
  }
  return !quitRequested;
}

int32_t RunPollLoop(HWND configDialog) {
  if (quitRequested) return 0;
  loopDialog = configDialog;
  int32_t status = 0;
  for (;;) {
    if (!PumpOneMessage()) break;
    if (!configVisible) {
      status = UpdateLeds();
      if (status != kUpdateOk) break;
    }
    if (passObserver != nullptr) passObserver();
    if (quitRequested) break;
  }
  loopDialog = nullptr;
  return status;
}
