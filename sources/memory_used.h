// Whole megabytes of physical memory in use, from the platform's byte counts.
#pragma once

#include <cstdint>

// (total - available) / 2^20, rounded down; 0 when available exceeds total;
// a result beyond the 32-bit range is clamped to INT32_MAX.
int32_t MemoryUsedMb(uint64_t totalBytes, uint64_t availableBytes);
