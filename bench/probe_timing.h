// The probe's timed measurements; each prints one "count median p99 max" line
// in milliseconds, or returns nonzero after saying on stderr what went wrong.
#pragma once

#include <string>

// Intervals between the LED bytes of the running meter over the seconds
// after its next byte.
int MeasureFrames(int seconds);

// From starting pipstack.exe (in folder, on LPT1) until its first LED byte;
// the meter is asked to quit after each start.
int MeasureFirstByte(const std::string& folder, int repeats);

// From a second start of pipstack.exe until the running meter's
// configuration dialog is visible; then a second line: from pressing Close
// until the meter's next LED byte. Starts are spread over one update period
// of periodMs.
int MeasureDialog(const std::string& folder, int repeats, int periodMs);

// From starting bench_floor.exe with nothing to do until it has ended.
int MeasureEmptyStart(int repeats);
