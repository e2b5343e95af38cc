// The simulated LED controller's journal as the viewer reads it: Wine maps
// COMn to a Unix path P, and the board writes P.leds, a line per change of
// its LEDs, "<milliseconds since the Unix epoch> <LED byte as two hex
// digits>\n"; the last complete line is the LEDs now. Platform-free.
#pragma once

#include <cstdint>
#include <string>

// How much of the journal's end is read: many lines more than the last.
constexpr uint32_t kBoardJournalTail = 4096;

struct BoardLedLine {
  bool found;
  int64_t timeMs;  // since the Unix epoch
  uint8_t leds;
};

// The last complete line of text that reads as a journal line; lines of
// another shape are passed over. When text starts inside a line (a tail of
// the file), its first, partial line is skipped.
BoardLedLine LastBoardLedLine(const std::string& text, bool startsAtLine);

// The journal of the board on the Unix path a COM port is mapped to, as a
// Windows path through Wine's Z: drive, which is the Unix root.
std::string BoardJournalPath(const std::string& unixPath);

// A FILETIME (100 ns since 1601) as milliseconds since the Unix epoch; 0 for
// a time before it.
int64_t FileTimeToUnixMs(uint64_t fileTime);
