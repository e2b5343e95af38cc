// The meter core alone: composing one LED byte, and whole update cycles with
// the sources, the port and the pause replaced by stand-ins that cost nothing.
#include <benchmark/benchmark.h>

#include "core/led_update.h"
#include "core/meter_io.h"
#include "core/meter_settings.h"

namespace {

// The windows a fresh install starts with: a bar graph over 0..100.
constexpr std::array<int32_t, kLedCount> kDefaultFloors = {0, 10, 20, 30, 40, 55, 70, 85};
constexpr int32_t kDefaultCeiling = 100;

void LoadDefaultWindows(int32_t interpolationLed) {
  ResetMeterSettings();
  ResetLedUpdate();
  for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, kDefaultFloors[i], kDefaultCeiling);
  SetMeterOptions(interpolationLed, kInitialWriteDelayMs);
}

void BM_ComposeFrame(benchmark::State& state) {
  LoadDefaultWindows(kInterpolationOff);
  LedValues values = {5, 15, 25, 35, 45, 60, 75, 90};
  for (auto _ : state) {
    benchmark::DoNotOptimize(values);
    benchmark::DoNotOptimize(ComposeFrame(values, kNoLeds));
    // A different value each time, so no branch is learnt for good.
    values[0] = (values[0] + 7) % 101;
  }
}
BENCHMARK(BM_ComposeFrame);

// The floor of BM_ComposeFrame: the same loop without the byte.
void BM_ComposeFrameFloor(benchmark::State& state) {
  LedValues values = {5, 15, 25, 35, 45, 60, 75, 90};
  for (auto _ : state) {
    benchmark::DoNotOptimize(values);
    values[0] = (values[0] + 7) % 101;
  }
}
BENCHMARK(BM_ComposeFrameFloor);

// One cycle: a sample and eight frames.
void BM_UpdateLedsInterpolated(benchmark::State& state) {
  LoadDefaultWindows(0);
  for (auto _ : state) benchmark::DoNotOptimize(UpdateLeds());
}
BENCHMARK(BM_UpdateLedsInterpolated);

// The floor of an interpolated cycle: the stand-ins' own calls, one sample
// and eight bytes with their pauses, without the core between them.
void BM_UpdateLedsInterpolatedFloor(benchmark::State& state) {
  for (auto _ : state) {
    int32_t value = 0;
    SampleOne(0, &value);
    for (int32_t k = 0; k < 8; ++k) {
      WriteLedByte(value + k);
      WaitAfterLedByte(kInitialWriteDelayMs);
    }
  }
}
BENCHMARK(BM_UpdateLedsInterpolatedFloor);

void BM_UpdateLedsDirect(benchmark::State& state) {
  LoadDefaultWindows(kInterpolationOff);
  for (auto _ : state) benchmark::DoNotOptimize(UpdateLeds());
}
BENCHMARK(BM_UpdateLedsDirect);

}  // namespace

BENCHMARK_MAIN();
