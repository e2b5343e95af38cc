// The legacy family: the kernel's processor statistic under HKEY_DYN_DATA and
// the physical memory in use, read per LED by its source kind.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

// Starting and stopping the processor statistic: reading a registry value
// is what does it.
enum CpuToggleStatus : int32_t {
  kCpuToggleOk = 0,
  kCpuToggleNoKey = 1,
  kCpuToggleNoSize = 2,  // the value's size could not be asked
  kCpuToggleNotRead = 3,
};

enum CpuReadStatus : int32_t {
  kCpuReadOk = 0,
  kCpuReadNoKey = 1,
  kCpuReadNotRead = 2,
};

enum LegacyReadStatus : int32_t {
  kLegacyReadOk = 0,
  kLegacyReadBadArgument = 1,  // an index outside 0..7 or no destination
  // ReadAllLegacySources: kLegacyReadLedFailed + i when LED index i fails.
  kLegacyReadLedFailed = 2,
};

int32_t StartCpuMonitor();
int32_t StopCpuMonitor();
int32_t ReadCpuUsage(int32_t* value);
// kLegacyReadOk, or kLegacyReadBadArgument without a destination.
int32_t ReadMemoryUsedMb(int32_t* value);
int32_t StartMemoryMonitor();  // always 0: memory needs no start
int32_t StopMemoryMonitor();   // always 0

// kLegacyReadBadArgument, else the status of the LED's read.
int32_t ReadLegacySource(int32_t index, int32_t* value);
// Stops at the first LED that fails.
int32_t ReadAllLegacySources(LedValues* values);
