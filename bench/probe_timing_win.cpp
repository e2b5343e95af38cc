// Frame intervals and latencies, all on the clock the journal stamps with.
#include "bench/probe_timing.h"

#include <cstdio>
#include <vector>

#include "bench/interval_stats.h"
#include "bench/led_journal_win.h"
#include "bench/program_control_win.h"
#include "bench/qpc_clock_win.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;
// Reading the journal this often keeps well ahead of its 4096 entries.
constexpr DWORD kJournalPollMs = 250;
// Waiting for a first byte: its time comes from the journal's stamp, so the
// poll only needs to be fine enough not to waste the run's time.
constexpr DWORD kFastPollMs = 10;
constexpr DWORD kAfterCloseMs = 3000;

int Fail(const char* what) {
  std::fprintf(stderr, "bench_probe: %s\n", what);
  return 1;
}

int Report(const std::vector<double>& milliseconds) {
  PrintIntervalStats(stdout, SummariseIntervals(milliseconds));
  return 0;
}

// A view of the machine for the length of one measurement; the run script's
// "hold" probe keeps the machine itself alive between them.
struct HeldView {
  VirtualPortView view{};
  HeldView() { OpenVirtualPort(kVirtualPortReadWrite, &view); }
  ~HeldView() { CloseVirtualPort(&view); }
  HeldView(const HeldView&) = delete;
  HeldView& operator=(const HeldView&) = delete;
};

// Waits for the next LED byte of the process (any when 0), polling at the
// given period; false after the time.
bool WaitForLedWrite(const VirtualPortView& view, DWORD processId, DWORD pollMs, LedWriteFollower* follower,
                     std::vector<JournalEntry>* writes) {
  const DWORD start = GetTickCount();
  for (;;) {
    ReadLedWrites(view, processId, follower, writes);
    if (!writes->empty()) return true;
    if (GetTickCount() - start > kStartTimeoutMs) return false;
    Sleep(pollMs);
  }
}

}  // namespace

int MeasureFrames(int seconds) {
  HeldView held;
  if (held.view.machine == nullptr) return Fail("no virtual port");
  LedWriteFollower follower = FollowFromNow(held.view, true);
  std::vector<JournalEntry> writes;
  if (!WaitForLedWrite(held.view, 0, kJournalPollMs, &follower, &writes)) return Fail("no LED byte");

  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (static_cast<int32_t>(end - GetTickCount()) > 0) {
    Sleep(kJournalPollMs);
    ReadLedWrites(held.view, 0, &follower, &writes);
  }
  if (follower.lostEntries != 0) return Fail("journal entries were overwritten before they were read");

  std::vector<double> intervals;
  for (size_t i = 1; i < writes.size(); ++i) {
    if (writes[i].processId != writes[i - 1].processId) continue;
    intervals.push_back(QpcMilliseconds(writes[i].time - writes[i - 1].time));
  }
  return Report(intervals);
}

int MeasureFirstByte(const std::string& folder, int repeats) {
  HeldView held;
  if (held.view.machine == nullptr) return Fail("no virtual port");
  std::vector<double> latencies;
  for (int i = 0; i < repeats; ++i) {
    LedWriteFollower follower = FollowFromNow(held.view, false);
    std::vector<JournalEntry> writes;
    StartedProcess meter;
    const int64_t start = QpcNow();
    if (!meter.Start(folder + "\\pipstack.exe", "LPT1", folder)) return Fail("pipstack.exe did not start");
    if (!WaitForLedWrite(held.view, meter.Id(), kFastPollMs, &follower, &writes)) return Fail("no LED byte");
    latencies.push_back(QpcMilliseconds(writes.front().time - start));
    if (!AskMeterToQuit(kStartTimeoutMs) || !meter.WaitForExit(kExitTimeoutMs)) return Fail("the meter did not quit");
  }
  return Report(latencies);
}

int MeasureDialog(const std::string& folder, int repeats, int periodMs) {
  HeldView held;
  if (held.view.machine == nullptr) return Fail("no virtual port");
  if (WaitForPollWindow(kStartTimeoutMs) == nullptr) return Fail("no running meter");
  std::vector<double> latencies;
  std::vector<double> resumes;
  for (int i = 0; i < repeats; ++i) {
    // Well after the last Close (hiding the dialog holds the meter for a
    // while under Wine without a window manager, see BENCHMARKS.md), and at
    // a different point of the update period each time: a fixed stride that
    // shares no factor with the usual periods.
    Sleep(static_cast<DWORD>(kAfterCloseMs + (i * 37) % periodMs));
    StartedProcess second;
    const int64_t start = QpcNow();
    if (!second.Start(folder + "\\pipstack.exe", "", folder)) return Fail("the second start failed");
    HWND dialog = WaitForVisibleConfigDialog(kStartTimeoutMs);
    if (dialog == nullptr) return Fail("the configuration dialog did not show");
    latencies.push_back(QpcMilliseconds(QpcNow() - start));
    if (!second.WaitForExit(kExitTimeoutMs)) return Fail("the second start did not end");

    LedWriteFollower follower = FollowFromNow(held.view, true);
    std::vector<JournalEntry> writes;
    const int64_t closed = QpcNow();
    PressCloseButton(dialog);
    if (!WaitForLedWrite(held.view, 0, kFastPollMs, &follower, &writes)) return Fail("the meter did not resume");
    resumes.push_back(QpcMilliseconds(writes.front().time - closed));
  }
  Report(latencies);
  return Report(resumes);
}

int MeasureEmptyStart(int repeats) {
  const std::string folder = OwnFolder();
  std::vector<double> latencies;
  for (int i = 0; i < repeats; ++i) {
    StartedProcess empty;
    const int64_t start = QpcNow();
    if (!empty.Start(folder + "bench_floor.exe", "exit", folder)) return Fail("bench_floor.exe did not start");
    if (!empty.WaitForExit(kStartTimeoutMs)) return Fail("bench_floor.exe did not end");
    latencies.push_back(QpcMilliseconds(QpcNow() - start));
  }
  return Report(latencies);
}
