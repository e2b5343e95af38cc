// Recording stand-ins for SampleAll, SampleOne, WriteLedByte and the pause.
#include "tests/core/meter_io_fakes.h"

#include <cstddef>

MeterIoFakes fakes;

void ResetMeterIoFakes() { fakes = MeterIoFakes{}; }

int32_t SampleAll(LedValues* values) {
  ++fakes.sampleAllCalls;
  if (fakes.sampleAllStatus != 0) return fakes.sampleAllStatus;
  *values = fakes.allValues;
  return 0;
}

int32_t SampleOne(int32_t index, int32_t* value) {
  fakes.sampleOneIndexes.push_back(index);
  if (fakes.sampleOneStatus != 0) return fakes.sampleOneStatus;
  const std::size_t call = fakes.sampleOneIndexes.size() - 1;
  *value = call < fakes.oneValues.size() ? fakes.oneValues[call] : 0;
  return 0;
}

int32_t WriteLedByte(int32_t value) {
  if (static_cast<int32_t>(fakes.writes.size()) == fakes.failWriteAt) return 2;
  fakes.writes.push_back(value);
  return 0;
}

void SleepMilliseconds(int32_t milliseconds) { fakes.sleeps.push_back(milliseconds); }
