// The PDH family: one query with a counter per LED, each LED's counter path,
// and reading the counters as long integers.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

constexpr char kDefaultCounterPath[] = "\\Processor(_Total)\\% Processor Time";

int32_t StartPdhMonitor();  // 0; 1 binding, 2 open query, 3 add counter, 4 no memory
int32_t StopPdhMonitor();   // always 0

// Replaces the counter of LED index (0..7, not checked). 0; 1 remove, 2 add,
// 3 no memory. The text is copied.
int32_t SetCounterPath(const char* path, int32_t index);
// The monitor's own copy, valid until the LED's next SetCounterPath or
// StopPdhMonitor; null for an index outside 0..7 or an LED without a path.
const char* GetCounterPath(int32_t index);

int32_t ReadCounter(int32_t index, int32_t* value);  // 0; 1 argument, 2 collect, 3 format
int32_t ReadAllCounters(LedValues* values);         // 0; 1 argument, 2 collect, 3 + i format
