// Taking one raw sample of a counter out of a host snapshot.
#pragma once

#include <cstdint>
#include <string_view>

#include "emulation/pdh/counter_catalogue.h"
#include "emulation/pdh/host_snapshot.h"

// The raw pair a counter keeps per collection; what value and base mean depends on
// the counter's kind (ticks and total ticks, a count and a time, or a plain figure).
struct RawSample {
  int64_t value = 0;
  int64_t base = 0;
  bool present = false;  // false when the instance did not exist at that collection
};

// Samples a counter of an instance ("" for an object without instances).
// The sample is absent when the instance is not in the snapshot.
RawSample TakeSample(const CounterDef& counter, std::string_view instance, const HostSnapshot& snapshot);
