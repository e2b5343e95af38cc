// Recording stand-ins for what the update cycle and the test patterns call:
// the sources' sampling, the LED byte on the port, the test patterns' sleep
// and the meter's pause. Sampling, output and the meter's pause are in
// objects of their own, so that a test over the real sources, or over the
// real pause, can still take the other stand-ins.
#pragma once

#include <cstdint>
#include <vector>

#include "core/meter_io.h"

struct MeterIoFakes {
  LedValues allValues{};           // what SampleAll hands out
  std::vector<int32_t> oneValues;  // what successive SampleOne calls hand out
  int32_t sampleAllStatus = 0;
  int32_t sampleOneStatus = 0;
  LedMask darkLeds = kNoLeds;          // what DarkLeds answers
  int32_t failWriteAt = -1;            // index of the write that fails, -1 never
  int32_t stopAtWait = -1;             // index of the meter's pause that tells the cycle to stop, -1 never
  WaitOutcome stopWith = kWaitEnding;  // and how it stops it

  int32_t sampleAllCalls = 0;
  std::vector<int32_t> sampleOneIndexes;
  std::vector<int32_t> writes;  // every value handed to WriteLedByte, a failed one included
  std::vector<int32_t> sleeps;  // every sleep of the test patterns
  std::vector<int32_t> waits;   // every pause of the meter after an LED byte
};

extern MeterIoFakes fakes;

// Clears the record and the scripted answers.
void ResetMeterIoFakes();

// Makes sample the value the next interpolated cycle glides from, as a
// whole glide to it does, then clears the record; the meter's options are
// left as they were.
void GlideLastSampleTo(int32_t sample);
