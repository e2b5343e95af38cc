// The run-time binding of pdh.dll: the library, the seven entry points the
// monitor uses, and one forwarder per entry point that answers 1 while its
// entry point is not bound.
#pragma once

#include <windows.h>

#include <pdh.h>

#include <cstdint>

struct PdhBinding {
  HMODULE library;
  // In the order they are resolved; a failed binding keeps those found so far.
  decltype(&PdhOpenQueryA) openQuery;
  decltype(&PdhCloseQuery) closeQuery;
  decltype(&PdhAddCounterA) addCounter;
  decltype(&PdhRemoveCounter) removeCounter;
  decltype(&PdhBrowseCountersA) browseCounters;
  decltype(&PdhGetFormattedCounterValue) getFormattedCounterValue;
  decltype(&PdhCollectQueryData) collectQueryData;
};

// The binding as it stands, for reading.
const PdhBinding& CurrentPdhBinding();

enum PdhBindingStatus : int32_t {
  kPdhBindingOk = 0,
  kPdhBindingNoLibrary = 1,
  // 2 to 8: the first entry point that could not be resolved, in the order above.
  kPdhBindingNoOpenQuery = 2,
  kPdhBindingNoCloseQuery = 3,
  kPdhBindingNoAddCounter = 4,
  kPdhBindingNoRemoveCounter = 5,
  kPdhBindingNoBrowseCounters = 6,
  kPdhBindingNoGetFormattedCounterValue = 7,
  kPdhBindingNoCollectQueryData = 8,
};

// Releases an earlier binding first.
int32_t LoadPdhBinding();
// Clears the table and frees the library; nothing when unbound.
void UnloadPdhBinding();

// What a forwarder answers when its entry point is not bound.
constexpr PDH_STATUS kPdhNotBound = 1;

PDH_STATUS BoundPdhOpenQueryA(LPCSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
PDH_STATUS BoundPdhCloseQuery(PDH_HQUERY query);
PDH_STATUS BoundPdhAddCounterA(PDH_HQUERY query, LPCSTR path, DWORD_PTR userData, PDH_HCOUNTER* counter);
PDH_STATUS BoundPdhRemoveCounter(PDH_HCOUNTER counter);
PDH_STATUS BoundPdhBrowseCountersA(PDH_BROWSE_DLG_CONFIG_A* config);
PDH_STATUS BoundPdhGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                            PDH_FMT_COUNTERVALUE* value);
PDH_STATUS BoundPdhCollectQueryData(PDH_HQUERY query);
