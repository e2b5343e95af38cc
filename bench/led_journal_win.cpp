// Telling the LED bytes apart from the rest of the port traffic in the journal.
#include "bench/led_journal_win.h"

namespace {

// The virtual machine's LPT1.
constexpr uint32_t kLpt1Data = kPortBases[0] + kDataOffset;
constexpr uint32_t kLpt1Control = kPortBases[0] + kControlOffset;
// The program's open sequence ends by setting the control register to
// kControlAllLow; every data write after it, until the next control write,
// is an LED byte.

}  // namespace

LedWriteFollower FollowFromNow(const VirtualPortView& view, bool portOpen) {
  LedWriteFollower follower;
  follower.lastSequence = JournalTotal(view);
  follower.portOpen = portOpen;
  return follower;
}

void ReadLedWrites(const VirtualPortView& view, DWORD processId, LedWriteFollower* follower,
                   std::vector<JournalEntry>* ledWrites) {
  const std::vector<JournalEntry> entries = ReadJournal(view, follower->lastSequence);
  if (!entries.empty() && entries.front().sequence > follower->lastSequence + 1) {
    follower->lostEntries += entries.front().sequence - follower->lastSequence - 1;
  }
  for (const JournalEntry& e : entries) {
    follower->lastSequence = e.sequence;
    if (e.kind != kJournalPortWrite || (processId != 0 && e.processId != processId)) continue;
    if (e.address == kLpt1Control) {
      follower->portOpen = e.value == kControlAllLow;
    } else if (e.address == kLpt1Data && follower->portOpen) {
      ledWrites->push_back(e);
    }
  }
}
