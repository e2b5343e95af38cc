// The legacy family: the kernel's processor statistic under HKEY_DYN_DATA and
// the physical memory in use, read per LED by its source kind.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

int32_t StartCpuMonitor();   // 0; 1 open, 2 size query, 3 read
int32_t StopCpuMonitor();    // as StartCpuMonitor
int32_t ReadCpuUsage(int32_t* value);      // 0; 1 open, 2 read
int32_t ReadMemoryUsedMb(int32_t* value);  // 0; 1 no destination
int32_t StartMemoryMonitor();  // always 0
int32_t StopMemoryMonitor();   // always 0

// 1 index outside 0..7 or no destination, else the status of the LED's read.
int32_t ReadLegacySource(int32_t index, int32_t* value);
// 0; 1 no destination; 2 + i when LED index i fails.
int32_t ReadAllLegacySources(LedValues* values);
