// The meter's settings: which bit each LED drives, its value window, and the
// meter's options (interpolation LED and write delay). One model per process.
#pragma once

#include <array>
#include <cstdint>

constexpr int32_t kLedCount = 8;

// LED index i (0..7) is LED i + 1 to the user and in the registry.
constexpr bool IsLedIndex(int32_t index) { return index >= 0 && index < kLedCount; }

struct LedChannel {
  int32_t weight;   // the LED's bit in the LED byte: 1 << index, never changed
  int32_t floor;    // lowest value at which the LED is lit (inclusive)
  int32_t ceiling;  // highest value at which the LED is lit (inclusive)
};

constexpr int32_t kInterpolationOff = -1;
// What the model holds before the settings are loaded. Interpolation on
// LED 1 differs on purpose from the stored default (off, settings_store.cpp):
// it is what stays in force when the stored options are refused.
constexpr int32_t kInitialInterpolationLed = 0;
constexpr int32_t kInitialWriteDelayMs = 40;

struct MeterOptions {
  int32_t interpolationLed;  // -1 off, else the index of the LED that drives all eight
  int32_t writeDelay;        // milliseconds after each LED byte; always > 0 once stored
};

enum MeterSettingsStatus : int32_t {
  kMeterSettingsOk = 0,
  kMeterSettingsBadArgument = 1,    // index or destination (ranges), interpolation LED (options)
  kMeterSettingsBadWriteDelay = 2,  // options: the interpolation LED was stored, the delay was not
};

// The model itself, read-only: the update cycle reads the windows and the
// options straight from it on every cycle; everyone else goes through the
// operations below.
const std::array<LedChannel, kLedCount>& LedChannels();
const MeterOptions& CurrentMeterOptions();

int32_t GetLedRange(int32_t index, int32_t* floor, int32_t* ceiling);
int32_t SetLedRange(int32_t index, int32_t floor, int32_t ceiling);
int32_t GetMeterOptions(int32_t* interpolationLed, int32_t* writeDelay);
int32_t SetMeterOptions(int32_t interpolationLed, int32_t writeDelay);

// Back to the contents the process starts with: windows 0..0, interpolation on
// LED 1, 40 ms.
void ResetMeterSettings();
