// The frame of an emulated FTDI device: its eight pins on the LEDs, the
// mode, whether it is plugged and open, and the age of the last write.
// Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "tools/ledview/led_frame.h"

struct FtdiState {
  std::string serialNumber;
  std::string description;
  bool plugged;
  bool open;
  uint32_t openerProcessId;  // 0 when open only as if by a process outside the machine
  uint8_t bitMode;           // FT_SetBitMode's mode
  uint8_t mask;
  uint8_t pins;        // bit n lit on Dn
  bool written;        // an FT_Write has reached it
  int64_t writeAgeMs;  // how long ago the last one did, when written
};

LedFrame FtdiFrame(const FtdiState& state);
