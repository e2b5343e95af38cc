// Turning raw samples into a counter value, and a value into the caller's chosen format.
#include "emulation/pdh/counter_math.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kTicksPerSecond = 1e7;  // bases of rate counters are 100 ns ticks

// Clamping before the conversion keeps it defined for every double.
template <typename Int>
Int TruncateClamped(double value) {
  if (std::isnan(value)) return 0;
  const double low = static_cast<double>(std::numeric_limits<Int>::min());
  const double high = static_cast<double>(std::numeric_limits<Int>::max());
  if (value <= low) return std::numeric_limits<Int>::min();
  if (value >= high) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

CalcStatus Difference(const CounterDef& counter, const RawSample& previous, const RawSample& current, double& value) {
  const int64_t deltaBase = current.base - previous.base;
  const int64_t deltaValue = current.value - previous.value;
  if (deltaBase < 0) return CALC_NEGATIVE_DENOMINATOR;
  if (deltaValue < 0) return CALC_NEGATIVE_VALUE;
  // No time between the two collections: nothing can have happened.
  if (deltaBase == 0) {
    value = 0;
    return CALC_OK;
  }
  if (counter.kind == CounterKind::TimePercent) {
    value = 100.0 * static_cast<double>(deltaValue) / static_cast<double>(deltaBase);
  } else {
    value = static_cast<double>(deltaValue) * kTicksPerSecond / static_cast<double>(deltaBase);
  }
  return CALC_OK;
}

}  // namespace

CalcStatus ComputeCounterValue(const CounterDef& counter, const RawSample* previous, const RawSample& current,
                               double& value) {
  if (!current.present) return CALC_NO_INSTANCE;
  switch (counter.kind) {
    case CounterKind::Instant:
    case CounterKind::Elapsed:
      value = static_cast<double>(current.value) * counter.scale;
      return CALC_OK;
    case CounterKind::InstantPercent:
      if (current.base <= 0) return CALC_NEGATIVE_DENOMINATOR;
      value = 100.0 * static_cast<double>(current.value) / static_cast<double>(current.base);
      return CALC_OK;
    case CounterKind::TimePercent:
    case CounterKind::RatePerSecond:
      if (previous == nullptr) return CALC_NEEDS_SAMPLES;
      if (!previous->present) return CALC_NO_INSTANCE;
      return Difference(counter, *previous, current, value);
  }
  return CALC_NEEDS_SAMPLES;
}

FormatStatus FormatCounterValue(double value, bool percent, uint32_t flags, FormattedValue& out) {
  const uint32_t kinds = flags & (kFmtLong | kFmtDouble | kFmtLarge);
  if (kinds != kFmtLong && kinds != kFmtDouble && kinds != kFmtLarge) return FORMAT_BAD_FLAGS;
  if (percent && !(flags & kFmtNoCap100) && value > 100.0) value = 100.0;
  if (flags & kFmt1000) value *= 1000.0;
  out = FormattedValue{};
  if (kinds == kFmtLong) out.longValue = TruncateClamped<int32_t>(value);
  if (kinds == kFmtDouble) out.doubleValue = value;
  if (kinds == kFmtLarge) out.largeValue = TruncateClamped<int64_t>(value);
  return FORMAT_OK;
}
