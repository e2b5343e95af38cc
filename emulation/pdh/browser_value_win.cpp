// The browser's live reading of the counter it has selected, through this library's own queries.
#include "emulation/pdh/browser_value_win.h"

#include <pdh.h>
#include <pdhmsg.h>

#include <cstdio>

namespace {

// One browser is open at a time (it is modal to its owner), so one watch.
PDH_HQUERY watchQuery = nullptr;
PDH_HCOUNTER watchCounter = nullptr;

}  // namespace

bool WatchCounter(const std::string& path) {
  StopWatching();
  if (PdhOpenQueryA(nullptr, 0, &watchQuery) != ERROR_SUCCESS) {
    watchQuery = nullptr;
    return false;
  }
  if (PdhAddCounterA(watchQuery, path.c_str(), 0, &watchCounter) != ERROR_SUCCESS) {
    StopWatching();
    return false;
  }
  return true;
}

std::string ReadWatchedCounter() {
  if (watchQuery == nullptr) return "Current value: not available";
  PdhCollectQueryData(watchQuery);
  PDH_FMT_COUNTERVALUE value = {};
  const PDH_STATUS status = PdhGetFormattedCounterValue(watchCounter, PDH_FMT_DOUBLE, nullptr, &value);
  if (status == static_cast<PDH_STATUS>(PDH_INVALID_DATA) && value.CStatus == PDH_CSTATUS_INVALID_DATA) {
    return "Current value: waiting for a second sample";
  }
  if (status != ERROR_SUCCESS) return "Current value: not available";
  char text[64];
  std::snprintf(text, sizeof(text), "Current value: %.3f", value.doubleValue);
  return text;
}

void StopWatching() {
  if (watchQuery != nullptr) PdhCloseQuery(watchQuery);
  watchQuery = nullptr;
  watchCounter = nullptr;
}
