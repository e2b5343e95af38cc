// The legacy family's per-LED choice of source: processor or memory.
#pragma once

#include <array>
#include <cstdint>

#include "core/meter_settings.h"

enum SourceKind : int32_t {
  kSourceCpu = 0,  // "CPU": the kernel's processor-utilisation statistic
  kSourceMem = 1,  // "MEM": physical memory in use; every kind other than 0 acts as this
};

// The LED's kind; -1 for an index outside 0..7.
int32_t GetSourceKind(int32_t index);
// Stores any kind unchanged; -1 (nothing stored) for an index outside 0..7.
int32_t SetSourceKind(int32_t index, int32_t kind);
// "CPU Utilization (%)" or "Memory Used (MB)"; null for an index outside 0..7.
const char* GetSourceKindLabel(int32_t index);
// Every LED back to CPU, as at process start.
void ResetSourceKinds();
