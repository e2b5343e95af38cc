// Loading the meter's settings from the registry at start-up and saving them
// at quit, in a fixed order that stops at the first failure.
#include "settings/settings_store.h"

#include <array>
#include <cstring>
#include <memory>

#include "core/meter_settings.h"
#include "settings/registry_values.h"
#include "settings/value_names.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

namespace {

constexpr std::array<int32_t, kLedCount> kDefaultFloors = {0, 10, 20, 30, 40, 55, 70, 85};
constexpr int32_t kDefaultCeiling = 100;
constexpr int32_t kDefaultWriteDelayMs = 40;
// Off, unlike the model's initial interpolation on LED 1 (meter_settings.h):
// a first run starts with every LED on its own source.
constexpr int32_t kDefaultInterpolation = kInterpolationOff;

// What the legacy family stores as an LED's source.
constexpr char kCpuSourceText[] = "CPU";
constexpr char kMemSourceText[] = "MEM";

// The family is asked afresh for every LED, as the probe may change its answer.
bool LoadSource(int32_t index) {
  const ValueName name = LedValueName(kSourceNameTemplate, index);
  std::unique_ptr<char[]> text;
  if (IsPdhAvailable()) {
    if (ReadStringValue(name.data(), &text, kDefaultCounterPath) != 0) return false;
    // A path the library refuses leaves the LED dark, its path kept for the
    // save; that is not a reason to stop the start-up.
    LoadCounterPath(text.get(), index);
    return true;
  }
  if (ReadStringValue(name.data(), &text, kCpuSourceText) != 0) return false;
  SetSourceKind(index, std::strcmp(text.get(), kCpuSourceText) == 0 ? kSourceCpu : kSourceMem);
  return true;
}

bool SaveSource(int32_t index) {
  const ValueName name = LedValueName(kSourceNameTemplate, index);
  const char* text = nullptr;
  if (IsPdhAvailable()) {
    // An LED left without a path (its copy ran out of memory) keeps the
    // default one, so the next start still has a counter to add.
    text = GetCounterPath(index);
    if (text == nullptr) text = kDefaultCounterPath;
  } else {
    text = GetSourceKind(index) == kSourceCpu ? kCpuSourceText : kMemSourceText;
  }
  return WriteStringValue(name.data(), text) == 0;
}

}  // namespace

int32_t LoadSettings() {
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (!LoadSource(i)) return kLoadSourceFailed;
  }
  for (int32_t i = 0; i < kLedCount; ++i) {
    int32_t floor = 0;
    int32_t ceiling = 0;
    if (ReadDwordValue(LedValueName(kFloorNameTemplate, i).data(), &floor, kDefaultFloors[i]) != 0) {
      return kLoadFloorFailed;
    }
    if (ReadDwordValue(LedValueName(kCeilingNameTemplate, i).data(), &ceiling, kDefaultCeiling) != 0) {
      return kLoadCeilingFailed;
    }
    SetLedRange(i, floor, ceiling);
  }
  int32_t writeDelay = 0;
  int32_t interpolation = 0;
  if (ReadDwordValue(kWriteDelayName, &writeDelay, kDefaultWriteDelayMs) != 0) return kLoadWriteDelayFailed;
  if (ReadDwordValue(kInterpolationName, &interpolation, kDefaultInterpolation) != 0) {
    return kLoadInterpolationFailed;
  }
  // Stored options the model refuses leave its current ones in force.
  SetMeterOptions(interpolation, writeDelay);
  return kLoadOk;
}

int32_t SaveSettings() {
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (!SaveSource(i)) return kSaveSourceFailed;
  }
  for (int32_t i = 0; i < kLedCount; ++i) {
    int32_t floor = 0;
    int32_t ceiling = 0;
    if (GetLedRange(i, &floor, &ceiling) != 0) return kSaveRangeFetchFailed;
    if (WriteDwordValue(LedValueName(kFloorNameTemplate, i).data(), floor) != 0) return kSaveFloorFailed;
    if (WriteDwordValue(LedValueName(kCeilingNameTemplate, i).data(), ceiling) != 0) return kSaveCeilingFailed;
  }
  int32_t interpolation = 0;
  int32_t writeDelay = 0;
  if (GetMeterOptions(&interpolation, &writeDelay) != 0) return kSaveOptionsFetchFailed;
  if (WriteDwordValue(kWriteDelayName, writeDelay) != 0) return kSaveWriteDelayFailed;
  if (WriteDwordValue(kInterpolationName, interpolation) != 0) return kSaveInterpolationFailed;
  return kSaveOk;
}
