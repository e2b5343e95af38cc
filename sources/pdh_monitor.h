// The PDH family: one query with a counter per LED, each LED's counter path,
// and reading the counters as long integers.
#pragma once

#include <cstdint>

#include "core/live_view.h"
#include "core/meter_io.h"

constexpr char kDefaultCounterPath[] = "\\Processor(_Total)\\% Processor Time";

enum PdhStartStatus : int32_t {
  kPdhStartOk = 0,
  kPdhStartNoBinding = 1,  // pdh.dll could not be loaded or lacks an entry point
  kPdhStartNoQuery = 2,
  kPdhStartNoCounter = 3,
  kPdhStartNoMemory = 4,
};

enum SetCounterPathStatus : int32_t {
  kSetCounterPathOk = 0,
  kSetCounterPathNotRemoved = 1,  // nothing changed
  kSetCounterPathNotAdded = 2,    // the LED has no counter now; its old path text stays
  kSetCounterPathNoMemory = 3,    // the LED has no path now, and the query is closed
};

enum ReadCounterStatus : int32_t {
  kReadCounterOk = 0,
  kReadCounterBadArgument = 1,
  kReadCounterNotCollected = 2,
  // ReadAllCounters: kReadCounterNotFormatted + i when LED index i fails.
  kReadCounterNotFormatted = 3,
};

int32_t StartPdhMonitor();
int32_t StopPdhMonitor();  // always 0

// Replaces the counter of LED index (0..7, not checked). The text is copied.
// An LED that ran dark meters again once its new counter is added.
int32_t SetCounterPath(const char* path, int32_t index);
// The stored path of LED index at start-up, as SetCounterPath; but a path the
// library refuses (a removed adapter's counter, a typo, an empty text) leaves
// the LED dark instead of failing every read, with that path as its text, so
// that a save keeps it. Answers kSetCounterPathNotAdded then.
int32_t LoadCounterPath(const char* path, int32_t index);
// The LEDs running dark; none after a start.
LedMask DarkCounterLeds();
// The monitor's own copy, valid until the LED's next SetCounterPath or
// StopPdhMonitor; null for an index outside 0..7 or an LED without a path.
const char* GetCounterPath(int32_t index);

// Each collects the query once, then formats the counters it reads as longs.
// A dark LED has no value: ReadCounter fails on it, ReadAllCounters leaves
// its place as it was.
int32_t ReadCounter(int32_t index, int32_t* value);
int32_t ReadAllCounters(LedValues* values);

// For display: collects once, then formats every LED's counter on its own, so
// that one that fails is marked invalid without hiding the others. A failed
// collection marks them all.
void ReadCountersForDisplay(SourceReadings* readings);
