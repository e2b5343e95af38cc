// Watching the virtual port from the test process: the machine stays alive
// while the watch is open, and the journal shows what pipstack.exe did.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "emulation/winio/virtual_port_view_win.h"

struct PortWatch {
  VirtualPortView view{};
  PortWatch();
  ~PortWatch();
  PortWatch(const PortWatch&) = delete;
  PortWatch& operator=(const PortWatch&) = delete;
};

// The journal entries of one process since the watch began, oldest first.
std::vector<JournalEntry> EntriesOf(const PortWatch& watch, DWORD processId);

// The values written to the data register of the port at base, after the
// program's open sequence.
std::vector<JournalEntry> LedWrites(const std::vector<JournalEntry>& entries, uint16_t base);

// Waits until the process has written at least count LED bytes to LPT1.
bool WaitForLedWrites(const PortWatch& watch, DWORD processId, size_t count, DWORD milliseconds);

// Milliseconds between two journal entries.
double MillisecondsBetween(const PortWatch& watch, const JournalEntry& earlier, const JournalEntry& later);
