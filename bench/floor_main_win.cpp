// bench_floor.exe: what the meter's process would cost if it did nothing but
// wait, under the same Wine. The benchmark sets every figure of pipstack.exe
// beside one of these.
//
//   bench_floor.exe sleep DELAY_MS SECONDS   Sleep(DELAY_MS) in a loop; prints
//                                            the wake-up intervals (count
//                                            median p99 max, milliseconds)
//   bench_floor.exe wait SECONDS             waits for window messages that
//                                            never come, as the paused meter does
//   bench_floor.exe exit                     ends at once: the cost of a start
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/interval_stats.h"
#include "bench/qpc_clock_win.h"

namespace {

int SleepLoop(int delayMs, int seconds) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const int64_t end = QpcNow() + int64_t{seconds} * frequency.QuadPart;
  // Room for every interval up front, so the loop itself allocates nothing.
  std::vector<double> intervals;
  intervals.reserve(static_cast<size_t>(seconds) * 1000 / static_cast<size_t>(delayMs) + 16);
  int64_t previous = QpcNow();
  while (previous < end) {
    Sleep(static_cast<DWORD>(delayMs));
    const int64_t now = QpcNow();
    intervals.push_back(QpcMilliseconds(now - previous));
    previous = now;
  }
  PrintIntervalStats(stdout, SummariseIntervals(intervals));
  return 0;
}

int WaitLoop(int seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  MSG msg;
  // The queue gets a message only if someone posts one; drain it and go on.
  for (DWORD now = GetTickCount(); static_cast<int32_t>(end - now) > 0; now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "sleep") == 0 && std::atoi(argv[2]) > 0) {
    return SleepLoop(std::atoi(argv[2]), std::atoi(argv[3]));
  }
  if (argc == 3 && std::strcmp(argv[1], "wait") == 0) return WaitLoop(std::atoi(argv[2]));
  if (argc == 2 && std::strcmp(argv[1], "exit") == 0) return 0;
  std::fprintf(stderr, "usage: bench_floor.exe sleep DELAY_MS SECONDS | wait SECONDS | exit\n");
  return 2;
}
