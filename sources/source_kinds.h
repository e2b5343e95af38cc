// The legacy family's per-LED choice of source: processor or memory.
#pragma once

#include <array>
#include <cstdint>

#include "core/meter_settings.h"

enum SourceKind : int32_t {
  kSourceCpu = 0,  // "CPU": the kernel's processor-utilisation statistic
  kSourceMem = 1,  // "MEM": physical memory in use; every kind other than 0 acts as this
};

// What the two operations below answer for an index outside 0..7.
constexpr int32_t kSourceKindBadIndex = -1;

// The LED's kind.
int32_t GetSourceKind(int32_t index);
// Stores any kind unchanged; 0, or kSourceKindBadIndex with nothing stored.
int32_t SetSourceKind(int32_t index, int32_t kind);
// "CPU Utilization (%)" or "Memory Used (MB)"; null for an index outside 0..7.
const char* GetSourceKindLabel(int32_t index);
// Every LED back to CPU, as at process start.
void ResetSourceKinds();
