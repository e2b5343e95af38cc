// The test sequences' hold between LED bytes: the thread sleeps, on the
// platform's own timer.
#include <windows.h>

#include "core/meter_io.h"

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}
