// The PDH counter monitor: one query with a counter per LED, each LED's
// counter path as the monitor's own heap copy, values read as longs.
#include "sources/pdh_monitor.h"

#include <array>
#include <cstring>
#include <new>

#include "sources/pdh_binding_win.h"

namespace {

PDH_HQUERY pdhQuery = nullptr;
std::array<PDH_HCOUNTER, kLedCount> ledCounters{};
std::array<char*, kLedCount> counterPaths{};
// LEDs whose stored path was refused at start-up: no counter, no value.
LedMask darkLeds = kNoLeds;

void FreePath(int32_t index) {
  delete[] counterPaths[index];
  counterPaths[index] = nullptr;
}

// The LED's own copy of text, replacing any earlier one; false when out of memory.
bool CopyPath(const char* text, int32_t index) {
  FreePath(index);
  const size_t size = std::strlen(text) + 1;
  counterPaths[index] = new (std::nothrow) char[size];
  if (counterPaths[index] == nullptr) return false;
  std::memcpy(counterPaths[index], text, size);
  return true;
}

bool AddCounter(const char* path, int32_t index) {
  return BoundPdhAddCounterA(pdhQuery, path, static_cast<DWORD_PTR>(index), &ledCounters[index]) == ERROR_SUCCESS;
}

// Closing the query takes its counters with it; neither is handed to the
// library again.
void CloseQuery() {
  BoundPdhCloseQuery(pdhQuery);
  pdhQuery = nullptr;
  ledCounters.fill(nullptr);
}

// Rate counters such as "% Processor Time" have a value only from their
// second collection on, so a collection right after adding counters keeps
// the first update cycle from failing. Its status does not matter.
void PrimeQuery() { BoundPdhCollectQueryData(pdhQuery); }

bool CollectQuery() { return pdhQuery != nullptr && BoundPdhCollectQueryData(pdhQuery) == ERROR_SUCCESS; }

bool FormatLong(int32_t index, int32_t* value) {
  if (ledCounters[index] == nullptr) return false;
  DWORD type = 0;
  PDH_FMT_COUNTERVALUE formatted{};
  if (BoundPdhGetFormattedCounterValue(ledCounters[index], PDH_FMT_LONG, &type, &formatted) != ERROR_SUCCESS) {
    return false;
  }
  *value = formatted.longValue;
  return true;
}

}  // namespace

// On failure the binding stays loaded and path copies already made stay:
// the only caller ends the program.
int32_t StartPdhMonitor() {
  darkLeds = kNoLeds;
  if (LoadPdhBinding() != kPdhBindingOk) return kPdhStartNoBinding;
  if (BoundPdhOpenQueryA(nullptr, 0, &pdhQuery) != ERROR_SUCCESS) {
    pdhQuery = nullptr;
    return kPdhStartNoQuery;
  }
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (!AddCounter(kDefaultCounterPath, i)) {
      CloseQuery();
      return kPdhStartNoCounter;
    }
    if (!CopyPath(kDefaultCounterPath, i)) {
      CloseQuery();
      return kPdhStartNoMemory;
    }
  }
  PrimeQuery();
  return kPdhStartOk;
}

int32_t StopPdhMonitor() {
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (ledCounters[i] != nullptr) BoundPdhRemoveCounter(ledCounters[i]);
    ledCounters[i] = nullptr;
    FreePath(i);
  }
  if (pdhQuery != nullptr) BoundPdhCloseQuery(pdhQuery);
  pdhQuery = nullptr;
  darkLeds = kNoLeds;
  UnloadPdhBinding();
  return 0;
}

// An LED whose counter is already gone (an earlier add failed) has nothing
// to remove and goes straight on to the add, so a good path mends it.
int32_t SetCounterPath(const char* path, int32_t index) {
  if (path == nullptr) return kSetCounterPathNotAdded;
  if (ledCounters[index] != nullptr) {
    if (BoundPdhRemoveCounter(ledCounters[index]) != ERROR_SUCCESS) return kSetCounterPathNotRemoved;
    ledCounters[index] = nullptr;
  }
  if (pdhQuery == nullptr || !AddCounter(path, index)) {
    ledCounters[index] = nullptr;
    return kSetCounterPathNotAdded;  // the old path text stays
  }
  darkLeds &= static_cast<LedMask>(~LedBit(index));
  if (!CopyPath(path, index)) {
    CloseQuery();
    return kSetCounterPathNoMemory;
  }
  PrimeQuery();
  return kSetCounterPathOk;
}

int32_t LoadCounterPath(const char* path, int32_t index) {
  const int32_t status = SetCounterPath(path, index);
  if (status != kSetCounterPathNotAdded || path == nullptr) return status;
  darkLeds |= LedBit(index);
  // Out of memory the LED is left without a path, and a save stores the
  // default one.
  CopyPath(path, index);
  return status;
}

LedMask DarkCounterLeds() { return darkLeds; }

const char* GetCounterPath(int32_t index) {
  if (!IsLedIndex(index)) return nullptr;
  return counterPaths[index];
}

int32_t ReadCounter(int32_t index, int32_t* value) {
  if (!IsLedIndex(index) || value == nullptr) return kReadCounterBadArgument;
  if (!CollectQuery()) return kReadCounterNotCollected;
  if (!FormatLong(index, value)) return kReadCounterNotFormatted;
  return kReadCounterOk;
}

// One collection for all eight; the first counter that cannot be formatted
// ends the read, with the places before it already fresh. A counter that
// fails while the meter runs ends it; only a dark LED is passed over.
int32_t ReadAllCounters(LedValues* values) {
  if (values == nullptr) return kReadCounterBadArgument;
  if (!CollectQuery()) return kReadCounterNotCollected;
  for (int32_t i = 0; i < kLedCount; ++i) {
    if ((darkLeds & LedBit(i)) != 0) continue;
    if (!FormatLong(i, &(*values)[i])) return kReadCounterNotFormatted + i;
  }
  return kReadCounterOk;
}

void ReadCountersForDisplay(SourceReadings* readings) {
  const bool collected = CollectQuery();
  for (int32_t i = 0; i < kLedCount; ++i) {
    SourceReading& reading = (*readings)[i];
    reading.valid = collected && FormatLong(i, &reading.value);
  }
}
