// Turning raw samples into a counter value, and a value into the caller's chosen format.
#pragma once

#include <cstdint>

#include "emulation/pdh/counter_catalogue.h"
#include "emulation/pdh/counter_sample.h"

enum CalcStatus {
  CALC_OK = 0,
  CALC_NEEDS_SAMPLES = 1,         // not enough collections yet
  CALC_NO_INSTANCE = 2,           // the instance was missing at a collection
  CALC_NEGATIVE_DENOMINATOR = 3,  // the base went backwards
  CALC_NEGATIVE_VALUE = 4,        // the count went backwards (a reset)
};

// previous may be null when only one collection has been made.
CalcStatus ComputeCounterValue(const CounterDef& counter, const RawSample* previous, const RawSample& current,
                               double& value);

// The format bits this library understands; the same numbers as the platform's
// PDH_FMT_ flags, which the library's entry points check at compile time.
constexpr uint32_t kFmtLong = 0x00000100;
constexpr uint32_t kFmtDouble = 0x00000200;
constexpr uint32_t kFmtLarge = 0x00000400;
constexpr uint32_t kFmtNoCap100 = 0x00008000;
constexpr uint32_t kFmt1000 = 0x00002000;

struct FormattedValue {
  int32_t longValue = 0;
  double doubleValue = 0;
  int64_t largeValue = 0;
};

enum FormatStatus {
  FORMAT_OK = 0,
  FORMAT_BAD_FLAGS = 1,  // not exactly one of long, double and large
};

// Percentages stop at 100 unless kFmtNoCap100 is given; kFmt1000 multiplies by
// 1000. Whole-number formats drop the fraction and clamp to their range.
FormatStatus FormatCounterValue(double value, bool percent, uint32_t flags, FormattedValue& out);
