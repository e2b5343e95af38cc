// Counter values from raw samples, and their formats.
#include "emulation/pdh/counter_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

CounterDef Def(CounterKind kind, double scale = 1.0) {
  return CounterDef{"c", "", kind, Figure::CpuBusy, scale, READ_CPU};
}

RawSample Sample(int64_t value, int64_t base, bool present = true) {
  RawSample sample;
  sample.value = value;
  sample.base = base;
  sample.present = present;
  return sample;
}

struct CalcCase {
  const char* name;
  CounterKind kind;
  double scale;
  bool hasPrevious;
  RawSample previous;
  RawSample current;
  CalcStatus status;
  double value;
};

TEST(CounterMath, ComputesEachKindAndRefusesWhatCannotBeComputed) {
  const CalcCase cases[] = {
      {"time percent", CounterKind::TimePercent, 1, true, Sample(100, 1000), Sample(400, 3000), CALC_OK, 15.0},
      {"rate per second", CounterKind::RatePerSecond, 1, true, Sample(0, 0), Sample(5000, 5000000), CALC_OK, 10000.0},
      {"instant scaled", CounterKind::Instant, 1.0 / 1024, false, {}, Sample(3 * 1024 * 1024, 0), CALC_OK, 3072.0},
      {"instant percent", CounterKind::InstantPercent, 1, false, {}, Sample(1, 4), CALC_OK, 25.0},
      {"elapsed from one sample", CounterKind::Elapsed, 0.001, false, {}, Sample(90500, 0), CALC_OK, 90.5},
      {"rate needs two", CounterKind::TimePercent, 1, false, {}, Sample(1, 1), CALC_NEEDS_SAMPLES, 0},
      {"per second needs two", CounterKind::RatePerSecond, 1, false, {}, Sample(1, 1), CALC_NEEDS_SAMPLES, 0},
      {"no time passed", CounterKind::TimePercent, 1, true, Sample(5, 7), Sample(5, 7), CALC_OK, 0.0},
      {"clock backwards", CounterKind::RatePerSecond, 1, true, Sample(0, 10), Sample(5, 9), CALC_NEGATIVE_DENOMINATOR,
       0},
      {"count reset", CounterKind::RatePerSecond, 1, true, Sample(9, 0), Sample(5, 10), CALC_NEGATIVE_VALUE, 0},
      {"zero limit", CounterKind::InstantPercent, 1, false, {}, Sample(1, 0), CALC_NEGATIVE_DENOMINATOR, 0},
      {"instance gone", CounterKind::Instant, 1, false, {}, Sample(1, 0, false), CALC_NO_INSTANCE, 0},
      {"instance new", CounterKind::TimePercent, 1, true, Sample(0, 0, false), Sample(1, 1), CALC_NO_INSTANCE, 0},
  };
  for (const CalcCase& c : cases) {
    SCOPED_TRACE(c.name);
    double value = -1;
    const CounterDef def = Def(c.kind, c.scale);
    ASSERT_EQ(ComputeCounterValue(def, c.hasPrevious ? &c.previous : nullptr, c.current, value), c.status);
    if (c.status == CALC_OK) {
      EXPECT_DOUBLE_EQ(value, c.value);
    }
  }
}

struct FormatCase {
  const char* name;
  double value;
  bool percent;
  uint32_t flags;
  FormatStatus status;
  int32_t longValue;
  double doubleValue;
  int64_t largeValue;
};

TEST(CounterMath, FormatsCapsAndClamps) {
  constexpr int32_t kMaxLong = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMinLong = std::numeric_limits<int32_t>::min();
  const FormatCase cases[] = {
      {"long truncates", 42.9, false, kFmtLong, FORMAT_OK, 42, 0, 0},
      {"long truncates negative", -42.9, false, kFmtLong, FORMAT_OK, -42, 0, 0},
      {"double keeps fraction", 42.5, false, kFmtDouble, FORMAT_OK, 0, 42.5, 0},
      {"large holds beyond 32 bits", 8e12, false, kFmtLarge, FORMAT_OK, 0, 0, 8000000000000},
      {"percent capped", 150.0, true, kFmtLong, FORMAT_OK, 100, 0, 0},
      {"percent uncapped on request", 150.0, true, kFmtLong | kFmtNoCap100, FORMAT_OK, 150, 0, 0},
      {"non-percent not capped", 150.0, false, kFmtDouble, FORMAT_OK, 0, 150.0, 0},
      {"times 1000", 1.5, false, kFmtLong | kFmt1000, FORMAT_OK, 1500, 0, 0},
      {"long clamps high", 1e12, false, kFmtLong, FORMAT_OK, kMaxLong, 0, 0},
      {"long clamps low", -1e12, false, kFmtLong, FORMAT_OK, kMinLong, 0, 0},
      {"large clamps", 1e300, false, kFmtLarge, FORMAT_OK, 0, 0, std::numeric_limits<int64_t>::max()},
      {"no format", 1.0, false, 0, FORMAT_BAD_FLAGS, 0, 0, 0},
      {"two formats", 1.0, false, kFmtLong | kFmtDouble, FORMAT_BAD_FLAGS, 0, 0, 0},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    FormattedValue out;
    ASSERT_EQ(FormatCounterValue(c.value, c.percent, c.flags, out), c.status);
    if (c.status != FORMAT_OK) continue;
    EXPECT_EQ(out.longValue, c.longValue);
    EXPECT_DOUBLE_EQ(out.doubleValue, c.doubleValue);
    EXPECT_EQ(out.largeValue, c.largeValue);
  }
}

}  // namespace
