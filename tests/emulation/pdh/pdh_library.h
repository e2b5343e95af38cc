// Our pdh.dll, loaded by its full path, with its entry points typed by the platform's prototypes.
#pragma once

#include <windows.h>
#include <pdh.h>

struct PdhLibrary {
  HMODULE module = nullptr;
  decltype(&PdhOpenQueryA) openQuery = nullptr;
  decltype(&PdhCloseQuery) closeQuery = nullptr;
  decltype(&PdhAddCounterA) addCounter = nullptr;
  decltype(&PdhRemoveCounter) removeCounter = nullptr;
  decltype(&PdhBrowseCountersA) browseCounters = nullptr;
  decltype(&PdhGetFormattedCounterValue) formattedValue = nullptr;
  decltype(&PdhCollectQueryData) collectQuery = nullptr;
};

// Loads the library once per process; every entry point is non-null or the test fails.
const PdhLibrary& Pdh();
