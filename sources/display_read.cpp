// Reading every LED's source for the configuration dialog's live values,
// through the family in force; a failing LED does not hide the others.
#include "core/live_view.h"
#include "sources/legacy_sources.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"

void ReadSourcesForDisplay(SourceReadings* readings) {
  if (IsPdhAvailable() == 1) {
    ReadCountersForDisplay(readings);
    return;
  }
  for (int32_t i = 0; i < kLedCount; ++i) {
    SourceReading& reading = (*readings)[i];
    reading.valid = ReadLegacySource(i, &reading.value) == kLegacyReadOk;
  }
}
