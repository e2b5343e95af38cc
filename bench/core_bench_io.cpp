// Stand-ins for the sources, the port and the pause, so that the benchmark
// times the update cycle's own work: a source that swings across the whole
// default range, a port that keeps the last byte, and no pause at all.
#include <benchmark/benchmark.h>

#include "core/meter_io.h"

namespace {

int32_t sampleCount = 0;
int32_t lastByte = 0;

// 0, 100, 0, 100, ...: every interpolated cycle has a nonzero step.
int32_t NextValue() { return (sampleCount++ % 2) * 100; }

}  // namespace

int32_t SampleAll(LedValues* values) {
  values->fill(NextValue());
  return 0;
}

int32_t SampleOne(int32_t, int32_t* value) {
  *value = NextValue();
  return 0;
}

LedMask DarkLeds() { return kNoLeds; }

int32_t WriteLedByte(int32_t value) {
  lastByte = value;
  benchmark::DoNotOptimize(lastByte);
  return 0;
}

WaitOutcome WaitAfterLedByte(int32_t) { return kWaitRanOut; }
