// Sampling through whichever family the probe names. Only the family is told
// on failure, not the inner read's own status.
#include "sources/source_dispatch.h"

#include "sources/legacy_sources.h"
#include "sources/pdh_monitor.h"

int32_t SampleAll(LedValues* values) {
  if (IsPdhAvailable() == 1) return ReadAllCounters(values) == 0 ? kSampleOk : kSamplePdhFailed;
  return ReadAllLegacySources(values) == 0 ? kSampleOk : kSampleLegacyFailed;
}

// Only the counter monitor has dark LEDs; in the legacy family it never
// started, so it names none, and no probe is needed.
LedMask DarkLeds() { return DarkCounterLeds(); }

int32_t SampleOne(int32_t index, int32_t* value) {
  if (IsPdhAvailable() == 1) return ReadCounter(index, value) == 0 ? kSampleOk : kSamplePdhFailed;
  return ReadLegacySource(index, value) == 0 ? kSampleOk : kSampleLegacyFailed;
}
