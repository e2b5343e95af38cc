// Following the virtual port's journal for the LED bytes that pipstack.exe
// writes, as they come.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "emulation/winio/virtual_port_view_win.h"

// Where the follower has read up to, and what it has seen of the port's
// open and close sequences.
struct LedWriteFollower {
  uint64_t lastSequence = 0;
  bool portOpen = false;
  uint64_t lostEntries = 0;  // overwritten before they were read
};

// Starts at the journal's current end: only writes after this call count.
// portOpen says whether the port was already opened before (a running meter)
// or its open sequence is still to come (a meter about to start).
LedWriteFollower FollowFromNow(const VirtualPortView& view, bool portOpen);

// Appends the LED bytes written to LPT1 since the last call, oldest first,
// by the given process (any process when processId is 0).
void ReadLedWrites(const VirtualPortView& view, DWORD processId, LedWriteFollower* follower,
                   std::vector<JournalEntry>* ledWrites);
