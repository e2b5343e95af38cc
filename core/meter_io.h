// What the update cycle needs from the rest of the program: values from the
// sources, a byte on the port, and a pause. The sources and the port define
// these; test programs link recording fakes in their place.
#pragma once

#include <array>
#include <cstdint>

#include "core/meter_settings.h"

// One value per LED index, in the unit of that LED's source.
using LedValues = std::array<int32_t, kLedCount>;

// Fills every place from that LED's own source. 0 on success.
int32_t SampleAll(LedValues* values);

// Reads the source of one LED. 0 on success.
int32_t SampleOne(int32_t index, int32_t* value);

// Writes the low 8 bits of value to the port's data register. 0 on success.
int32_t WriteLedByte(int32_t value);

// Holds the thread for the given time; how the meter and the test sequences
// pace their LED bytes.
void SleepMilliseconds(int32_t milliseconds);
