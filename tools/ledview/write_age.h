// When the port's data register was last written, found in the virtual
// port's journal, and how that age reads. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulation/winio/virtual_machine.h"

struct LastDataWrite {
  bool found;
  int64_t time;  // the journal's time stamp, performance-counter ticks
  uint8_t value;
};

// Looks through entries (oldest first) for successful byte writes to
// dataPort and keeps the newest in last; other entries leave it as it was.
void NoteDataWrites(const std::vector<JournalEntry>& entries, uint16_t dataPort, LastDataWrite* last);

// Ticks of a counter running at frequency as whole milliseconds, without
// overflow for any tick count; a negative span (a clock read a little
// before the stamp) is 0, and so is every span when frequency is not
// positive.
int64_t TicksToMilliseconds(int64_t ticks, int64_t frequency);

// "12 ms ago", "3.4 s ago", "5 min 07 s ago", "2 h 05 min ago".
std::string FormatAge(int64_t milliseconds);
