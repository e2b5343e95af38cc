// The update cycle: sample, compare with the LEDs' windows, write the LED byte.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

enum UpdateStatus : int32_t {
  kUpdateOk = 0,
  kUpdateSampleAllFailed = 1,
  kUpdateDirectWriteFailed = 2,
  kUpdateSampleOneFailed = 3,
  kUpdateInterpolatedWriteFailed = 4,
};

// The LED byte for one value per LED: the weights of the LEDs whose value
// lies inside their window, both ends included. The LEDs in darkLeds have no
// value and are never lit.
uint8_t ComposeFrame(const LedValues& values, LedMask darkLeds);

// One cycle in the mode the settings name: one byte (direct) or eight frames
// gliding from the last sample toward the new value (interpolated), each followed
// by the write delay. With interpolation on a dark LED no value drives the
// LEDs: its eight frames show every LED dark. A cycle that the program's end
// cuts short is a success and leaves the last sample as it was; one that a
// pause cuts short is a success too, and the next glide starts from the
// last frame shown.
int32_t UpdateLeds();

// The last frame the update cycle put on the LEDs: the value each LED was
// compared with and the byte written. Nothing before the first write.
struct MeterFrame {
  LedValues values;
  LedMask darkLeds;  // the LEDs that had no value (values holds nothing for them)
  uint8_t byte;
  bool written;
};
const MeterFrame& LastMeterFrame();

// The interpolation source's value at the end of the last interpolated
// cycle, where the next one starts gliding from; 0 at process start.
int32_t LastSample();
// The last sample back to 0 and no frame written, as at process start.
void ResetLedUpdate();
