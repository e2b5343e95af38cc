// What the configuration dialog shows beside each LED's source while the
// meter pauses: the value the meter would compare with the LED's window, and
// whether it lies inside.
#pragma once

#include <array>
#include <cstdint>

#include "core/meter_settings.h"

// One LED's own source as read for display; valid is false when the read
// failed.
struct SourceReading {
  int32_t value;
  bool valid;
};
using SourceReadings = std::array<SourceReading, kLedCount>;

// Reads every LED's source for display, each on its own, so that one that
// fails does not hide the others. It writes nothing to the port and leaves
// the update cycle as it was. The sources define it; test programs link a
// stand-in.
void ReadSourcesForDisplay(SourceReadings* readings);

struct LiveRow {
  int32_t value;  // what the LED is compared with
  bool valid;     // false: its source could not be read
  bool lit;       // the value lies in the LED's window, both ends included
};
using LiveRows = std::array<LiveRow, kLedCount>;

// The rows as the meter compares: with interpolation off each LED's own
// reading, with it on the interpolation LED's reading for every LED (the
// value its frames glide to), each against the LED's own window.
LiveRows ComposeLiveRows(const SourceReadings& readings);

// A row as text for the control that shows it, so that a screen reader says
// it as it is drawn: "45 lit", "-5 dark", or "-" when there is no value.
using LiveRowText = std::array<char, 24>;
LiveRowText FormatLiveRow(const LiveRow& row);
