// The live rows of the configuration dialog, composed from the sources'
// readings and the windows as the update cycle would compare them.
#include "core/live_view.h"

#include <cstdio>

LiveRows ComposeLiveRows(const SourceReadings& readings) {
  const int32_t source = CurrentMeterOptions().interpolationLed;
  LiveRows rows{};
  for (int32_t i = 0; i < kLedCount; ++i) {
    const SourceReading& reading = readings[IsLedIndex(source) ? source : i];
    const LedChannel& led = LedChannels()[i];
    rows[i].valid = reading.valid;
    rows[i].value = reading.valid ? reading.value : 0;
    rows[i].lit = reading.valid && led.floor <= reading.value && reading.value <= led.ceiling;
  }
  return rows;
}

LiveRowText FormatLiveRow(const LiveRow& row) {
  LiveRowText text{};
  if (!row.valid) {
    std::snprintf(text.data(), text.size(), "-");
  } else {
    std::snprintf(text.data(), text.size(), "%ld %s", static_cast<long>(row.value), row.lit ? "lit" : "dark");
  }
  return text;
}
