// Reading the legacy sources per LED, each by its source kind.
#include "sources/legacy_sources.h"
#include "sources/source_kinds.h"

int32_t ReadLegacySource(int32_t index, int32_t* value) {
  if (!IsLedIndex(index) || value == nullptr) return kLegacyReadBadArgument;
  return GetSourceKind(index) == kSourceCpu ? ReadCpuUsage(value) : ReadMemoryUsedMb(value);
}

// Stops at the first failing LED: the places before it hold fresh values,
// the rest keep what they held.
int32_t ReadAllLegacySources(LedValues* values) {
  if (values == nullptr) return kLegacyReadBadArgument;
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (ReadLegacySource(i, &(*values)[i]) != kLegacyReadOk) return kLegacyReadLedFailed + i;
  }
  return kLegacyReadOk;
}
