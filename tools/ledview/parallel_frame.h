// The frame of a parallel port of the virtual machine: its data register
// on the LEDs, the data and control registers, and the age of the last data
// write. Platform-free.
#pragma once

#include <cstdint>

#include "tools/ledview/led_frame.h"

struct ParallelState {
  int portIndex;       // of the emulated ports: 0 is LPT1
  uint16_t base;       // the port's base address, which names it: LPTn where the BIOS lists it
  uint8_t data;        // data register: bit n-1 drives LED n
  uint8_t control;     // control register as read
  bool written;        // a data write has been seen in the journal
  int64_t writeAgeMs;  // how long ago the last one was, when written
};

LedFrame ParallelFrame(const ParallelState& state);
