// The meter's pause after each LED byte: a wait that wakes for the program's
// messages, handles each at once, and goes on until the write delay is over.
#include <windows.h>
#include <winternl.h>

#include "core/meter_io.h"
#include "core/poll_loop_win.h"
#include "core/scoped_win.h"

// The thread's own timer, which Sleep uses, to the 100 ns. Exported by
// ntdll.dll on every Windows; no SDK header declares it.
extern "C" NTSTATUS NTAPI NtDelayExecution(BOOLEAN alertable, PLARGE_INTEGER interval);

namespace {

// The last part of every pause is slept on the thread's own timer: under
// Wine a wait that wakes for messages is timed by the wineserver, which ends
// it up to a millisecond late, and later still under load, where a plain
// sleep ends on time. So the frame timing stays that of a plain sleep of the
// write delay. A message arriving in this part waits for the next pass.
constexpr LONGLONG kSleptTailMs = 5;
constexpr LONGLONG kHundredNsPerSecond = 10000000;

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// Counter ticks of whole milliseconds, and whole milliseconds of ticks,
// rounded up; split so that no write delay and no counter frequency
// overflows.
LONGLONG TicksOf(LONGLONG milliseconds, LONGLONG frequency) {
  return milliseconds / 1000 * frequency + milliseconds % 1000 * frequency / 1000;
}
DWORD MillisecondsOf(LONGLONG ticks, LONGLONG frequency) {
  return static_cast<DWORD>(ticks / frequency * 1000 + (ticks % frequency * 1000 + frequency - 1) / frequency);
}

// NtDelayExecution, looked up at the first pause; null where it is missing.
decltype(&NtDelayExecution) delayExecution = nullptr;
bool delayLookedUp = false;

// Sleeps the thread until the deadline, as Sleep would, but to the 100 ns.
void SleepUntil(LONGLONG deadline, LONGLONG frequency) {
  const LONGLONG left = deadline - Now();
  if (left <= 0) return;
  if (!delayLookedUp) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll != nullptr) ResolveEntryPoint(ntdll, "NtDelayExecution", &delayExecution);
    delayLookedUp = true;
  }
  if (delayExecution == nullptr) {
    Sleep(MillisecondsOf(left, frequency));
    return;
  }
  LARGE_INTEGER interval;
  interval.QuadPart = -(left * kHundredNsPerSecond / frequency);  // negative: relative to now
  delayExecution(FALSE, &interval);
}

}  // namespace

WaitOutcome WaitAfterLedByte(int32_t milliseconds) {
  const LONGLONG frequency = Frequency();
  const LONGLONG deadline = Now() + TicksOf(milliseconds > 0 ? milliseconds : 0, frequency);
  const LONGLONG tail = TicksOf(kSleptTailMs, frequency);
  for (;;) {
    if (IsQuitRequested()) return kWaitEnding;
    // Shown by a message handled in this pause: the rest of the cycle would
    // change the LEDs while the meter is meant to stand still.
    if (IsConfigVisible()) return kWaitPaused;
    const LONGLONG left = deadline - Now();
    if (left <= tail) break;
    // Messages already in the queue count too, not only those arriving now.
    const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, MillisecondsOf(left - tail, frequency), QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 && !HandleMessageWhileWaiting()) return kWaitEnding;
  }
  SleepUntil(deadline, frequency);
  return kWaitRanOut;
}
