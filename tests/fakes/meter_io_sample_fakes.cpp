// Scripted stand-ins for SampleAll, SampleOne and DarkLeds, and a glide
// over them.
#include <cstddef>

#include "core/led_update.h"
#include "tests/fakes/meter_io_fakes.h"

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

LedMask DarkLeds() { return fakes.darkLeds; }

void GlideLastSampleTo(int32_t sample) {
  const MeterOptions options = CurrentMeterOptions();
  ResetMeterIoFakes();
  SetMeterOptions(0, options.writeDelay);
  fakes.oneValues = {sample};
  UpdateLeds();
  SetMeterOptions(options.interpolationLed, options.writeDelay);
  ResetMeterIoFakes();
}
