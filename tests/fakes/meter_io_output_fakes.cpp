// Recording stand-ins for WriteLedByte and the test patterns' sleep, and the
// record that the other meter stand-ins share.
#include "tests/fakes/meter_io_fakes.h"

MeterIoFakes fakes;

void ResetMeterIoFakes() { fakes = MeterIoFakes{}; }

int32_t WriteLedByte(int32_t value) {
  const bool fails = static_cast<int32_t>(fakes.writes.size()) == fakes.failWriteAt;
  fakes.writes.push_back(value);
  return fails ? 2 : 0;
}

void SleepMilliseconds(int32_t milliseconds) { fakes.sleeps.push_back(milliseconds); }
