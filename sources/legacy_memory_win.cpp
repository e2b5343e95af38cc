// The physical memory in use, the legacy family's second source. It needs no
// start or stop; those exist to mirror the processor statistic.
#include <windows.h>

#include "sources/legacy_sources.h"
#include "sources/memory_used.h"

int32_t ReadMemoryUsedMb(int32_t* value) {
  if (value == nullptr) return kLegacyReadBadArgument;
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  // Should the call ever fail, the zeroed record reads as nothing in use.
  GlobalMemoryStatusEx(&status);
  *value = MemoryUsedMb(status.ullTotalPhys, status.ullAvailPhys);
  return kLegacyReadOk;
}

int32_t StartMemoryMonitor() { return 0; }

int32_t StopMemoryMonitor() { return 0; }
