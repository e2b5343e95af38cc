// The meter settings model and its four operations.
#include "core/meter_settings.h"

namespace {

constexpr std::array<LedChannel, kLedCount> InitialChannels() {
  std::array<LedChannel, kLedCount> channels{};
  for (int32_t i = 0; i < kLedCount; ++i) channels[i] = LedChannel{1 << i, 0, 0};
  return channels;
}

constexpr MeterOptions kInitialOptions{kInitialInterpolationLed, kInitialWriteDelayMs};

std::array<LedChannel, kLedCount> ledChannels = InitialChannels();
MeterOptions meterOptions = kInitialOptions;

}  // namespace

const std::array<LedChannel, kLedCount>& LedChannels() { return ledChannels; }

const MeterOptions& CurrentMeterOptions() { return meterOptions; }

int32_t GetLedRange(int32_t index, int32_t* floor, int32_t* ceiling) {
  if (!IsLedIndex(index) || floor == nullptr || ceiling == nullptr) return kMeterSettingsBadArgument;
  *floor = ledChannels[index].floor;
  *ceiling = ledChannels[index].ceiling;
  return kMeterSettingsOk;
}

int32_t SetLedRange(int32_t index, int32_t floor, int32_t ceiling) {
  if (!IsLedIndex(index)) return kMeterSettingsBadArgument;
  ledChannels[index].floor = floor;
  ledChannels[index].ceiling = ceiling;
  return kMeterSettingsOk;
}

int32_t GetMeterOptions(int32_t* interpolationLed, int32_t* writeDelay) {
  if (interpolationLed == nullptr || writeDelay == nullptr) return kMeterSettingsBadArgument;
  *interpolationLed = meterOptions.interpolationLed;
  *writeDelay = meterOptions.writeDelay;
  return kMeterSettingsOk;
}

// The interpolation LED is stored before the delay is checked, so a refused
// delay still leaves the new interpolation choice in force.
int32_t SetMeterOptions(int32_t interpolationLed, int32_t writeDelay) {
  if (interpolationLed != kInterpolationOff && !IsLedIndex(interpolationLed)) return kMeterSettingsBadArgument;
  meterOptions.interpolationLed = interpolationLed;
  if (writeDelay <= 0) return kMeterSettingsBadWriteDelay;
  meterOptions.writeDelay = writeDelay;
  return kMeterSettingsOk;
}

void ResetMeterSettings() {
  ledChannels = InitialChannels();
  meterOptions = kInitialOptions;
}
