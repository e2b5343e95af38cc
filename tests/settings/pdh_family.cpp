// The PDH family for the store tests: the real counter monitor over the fake
// pdh.dll (the test runs with WINEDLLOVERRIDES=pdh=n), whose counters are the
// paths an LED can be given.
#include <windows.h>

#include <string>

#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "tests/settings/source_family.h"

namespace {

// Counters the fake library knows, other than the default one.
constexpr const char* kOtherCounters[] = {
    "\\Memory\\Available MBytes",         "\\System\\Processes",
    "\\Processor(0)\\% Processor Time",   "\\PhysicalDisk(_Total)\\% Disk Time",
    "\\Memory\\% Committed Bytes In Use",
};

}  // namespace

bool StartSourceFamily() {
  if (!SetDllDirectoryA(PIPSTACK_FAKE_PDH_DIR "/complete")) return false;
  return IsPdhAvailable() == 1 && StartPdhMonitor() == 0;
}

void StopSourceFamily() { StopPdhMonitor(); }

void ResetSourceFamily() {
  StopPdhMonitor();
  StartPdhMonitor();
}

std::string DefaultSourceText() { return kDefaultCounterPath; }

std::string ChangeSource(int32_t index) {
  const char* path = kOtherCounters[index % (sizeof kOtherCounters / sizeof kOtherCounters[0])];
  SetCounterPath(path, index);
  return path;
}

std::string CurrentSourceText(int32_t index) {
  const char* path = GetCounterPath(index);
  return path != nullptr ? path : "(none)";
}
