// Reads the watched port from the virtual machine's shared section.
#include "tools/ledview/port_watch.h"

#include <windows.h>

#include "emulation/winio/virtual_port_view_win.h"
#include "tools/ledview/write_age.h"

namespace {

VirtualPortView view{};
int watchedPort = 0;
uint64_t journalSeen = 0;
LastDataWrite lastWrite{};

int64_t Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

void CatchUpJournal() {
  const uint64_t total = JournalTotal(view);
  if (total == journalSeen) return;
  NoteDataWrites(ReadJournal(view, journalSeen), kPortBases[watchedPort] + kDataOffset, &lastWrite);
  journalSeen = total;
}

}  // namespace

int32_t StartPortWatch(int portIndex) {
  watchedPort = portIndex;
  journalSeen = 0;
  lastWrite = LastDataWrite{};
  const int32_t status = OpenVirtualPort(kVirtualPortCreate, &view);
  if (status == kVirtualPortOk) CatchUpJournal();
  return status;
}

ParallelState WatchPort() {
  CatchUpJournal();
  const PortRegisters registers = PeekPortRegisters(view, watchedPort);
  ParallelState state{};
  state.portIndex = watchedPort;
  state.base = kPortBases[watchedPort];
  state.data = registers.data;
  state.control = registers.control;
  state.written = lastWrite.found;
  // The stamps are the writers' performance counters, which run on one clock
  // for every process of the machine; the frequency was stored at power-on.
  state.writeAgeMs = lastWrite.found ? TicksToMilliseconds(Now() - lastWrite.time, view.machine->timerFrequency) : 0;
  return state;
}

void StopPortWatch() {
  CloseVirtualPort(&view);
  journalSeen = 0;
  lastWrite = LastDataWrite{};
}
