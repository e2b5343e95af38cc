// What the update cycle needs from the rest of the program: values from the
// sources, a byte on the port, and a pause. The sources, the port and the
// poll loop define these; test programs link recording fakes in their place.
#pragma once

#include <array>
#include <cstdint>

#include "core/meter_settings.h"

// One value per LED index, in the unit of that LED's source.
using LedValues = std::array<int32_t, kLedCount>;

// A set of LEDs: bit i for LED index i.
using LedMask = uint8_t;
constexpr LedMask kNoLeds = 0;
constexpr LedMask kEveryLed = 0xFF;
static_assert(kLedCount == 8, "one bit per LED");
constexpr LedMask LedBit(int32_t index) { return static_cast<LedMask>(1u << index); }

// The LEDs that run dark: their source could not be set up at start-up, so
// they have no value, which lies in no window. Sampling leaves their places
// as they were, and no LED is compared with a dark source's value.
LedMask DarkLeds();

// Fills every place from that LED's own source. 0 on success.
int32_t SampleAll(LedValues* values);

// Reads the source of one LED. 0 on success.
int32_t SampleOne(int32_t index, int32_t* value);

// Writes the low 8 bits of value to the port's data register. 0 on success.
int32_t WriteLedByte(int32_t value);

// How the meter's pause after an LED byte ended. Anything but the full write
// delay stops the cycle at once: the loop would not run another one.
enum WaitOutcome : int32_t {
  kWaitRanOut = 0,  // the write delay is over
  kWaitPaused = 1,  // the configuration dialog was shown meanwhile: the meter pauses
  kWaitEnding = 2,  // the program is to end: a quit was requested, or the quit message waits
};

// The meter's pause after each LED byte. A message for the program that
// arrives meanwhile is handled at once, and the pause then goes on for what
// is left of it, so no write delay makes the program unresponsive.
WaitOutcome WaitAfterLedByte(int32_t milliseconds);

// Holds the thread for the given time: how the test sequences pace their LED
// bytes. No posted message is handled meanwhile; messages other threads send
// are, so that the end of a Windows session is answered.
void SleepMilliseconds(int32_t milliseconds);
