// All settings in the registry: read once at start-up, written once at quit.
#pragma once

#include <cstdint>

enum LoadSettingsStatus : int32_t {
  kLoadOk = 0,
  kLoadSourceFailed = 1,
  kLoadFloorFailed = 2,
  kLoadCeilingFailed = 3,
  kLoadWriteDelayFailed = 4,
  kLoadInterpolationFailed = 5,
};

enum SaveSettingsStatus : int32_t {
  kSaveOk = 0,
  kSaveSourceFailed = 1,
  kSaveRangeFetchFailed = 2,
  kSaveFloorFailed = 3,
  kSaveCeilingFailed = 4,
  kSaveOptionsFetchFailed = 5,
  kSaveWriteDelayFailed = 6,
  kSaveInterpolationFailed = 7,
};

// 0; 1 a source, 2 a floor, 3 a ceiling, 4 the write delay, 5 the interpolation value.
int32_t LoadSettings();
// 0; 1 a source, 2 a range fetch, 3 a floor, 4 a ceiling, 5 the options fetch,
// 6 the write delay, 7 the interpolation value. Stops at the first failure.
int32_t SaveSettings();
