// The test process's view of the virtual port.
#include "tests/e2e/virtual_port_watch.h"

namespace {

// The open sequence ends with the control register set to 0x0B; every data
// write after it is an LED byte.
constexpr uint32_t kOpenControl = 0x0B;

}  // namespace

PortWatch::PortWatch() {
  if (OpenVirtualPort(kVirtualPortCreate, &view) == kVirtualPortOk) ResetVirtualPort(view);
}

PortWatch::~PortWatch() { CloseVirtualPort(&view); }

std::vector<JournalEntry> EntriesOf(const PortWatch& watch, DWORD processId) {
  std::vector<JournalEntry> mine;
  if (watch.view.machine == nullptr) return mine;
  for (const JournalEntry& e : ReadJournal(watch.view, 0)) {
    if (e.processId == processId) mine.push_back(e);
  }
  return mine;
}

// Close restores the data register right before the control register, so a
// data write directly followed by a control write other than the open value
// is the restore, not an LED byte.
std::vector<JournalEntry> LedWrites(const std::vector<JournalEntry>& entries, uint16_t base) {
  std::vector<JournalEntry> writes;
  bool open = false;
  bool lastWasLed = false;
  for (const JournalEntry& e : entries) {
    if (e.kind != kJournalPortWrite) continue;
    if (e.address == base + 2u) {
      if (lastWasLed && e.value != kOpenControl) writes.pop_back();
      open = e.value == kOpenControl;
      lastWasLed = false;
      continue;
    }
    lastWasLed = open && e.address == base;
    if (lastWasLed) writes.push_back(e);
  }
  return writes;
}

bool WaitForLedWrites(const PortWatch& watch, DWORD processId, size_t count, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (LedWrites(EntriesOf(watch, processId), 0x378).size() < count) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
  return true;
}

double MillisecondsBetween(const PortWatch& watch, const JournalEntry& earlier, const JournalEntry& later) {
  return static_cast<double>(later.time - earlier.time) * 1000.0 /
         static_cast<double>(watch.view.machine->timerFrequency);
}
