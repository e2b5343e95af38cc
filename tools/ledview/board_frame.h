// The frame of the simulated LED controller on a COM port: the LEDs of the
// last line of its journal and the age of that change, or why there is no
// board to show. Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "tools/ledview/led_frame.h"

struct BoardState {
  int comNumber;
  bool mapped;              // Wine maps COMn to a Unix path
  std::string journalPath;  // where the board's journal is looked for, when mapped
  bool journalFound;
  bool ledsFound;  // the journal holds a complete line
  uint8_t leds;
  int64_t changeAgeMs;
};

LedFrame BoardFrame(const BoardState& state);
