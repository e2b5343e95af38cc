// The test sequences' hold between LED bytes: the thread waits out the time
// handling no posted message (input, painting and timers wait for the end of
// the sequence), but lets messages sent by other threads through: Windows
// asks whether the session may end, and ends it, with sent messages, and the
// poll window then saves the settings and restores the port as it does
// elsewhere, ending the program. A sequence is no reason to be ended unsaved.
#include <windows.h>

#include "core/meter_io.h"

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  const DWORD start = GetTickCount();
  const auto hold = static_cast<DWORD>(milliseconds);
  for (DWORD elapsed = 0; elapsed < hold; elapsed = GetTickCount() - start) {
    if (MsgWaitForMultipleObjectsEx(0, nullptr, hold - elapsed, QS_SENDMESSAGE, 0) != WAIT_OBJECT_0) continue;
    // Only sent messages are handled here; nothing is taken off the queue.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
