// Scriptable stand-ins for what the configuration dialog asks of the sources:
// the family probe, the counter paths and browser, the legacy source kinds,
// and the readings for its live values.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/live_view.h"

struct SourceFakes {
  int32_t pdhAvailable = 0;
  std::array<const char*, 8> counterPaths{};
  std::array<int32_t, 8> kinds{};
  std::vector<std::pair<void*, int32_t>> browses;  // owner window and LED index of each browse
  const char* pathAfterBrowse = nullptr;           // what a browse sets as the LED's counter path
  std::vector<std::pair<int32_t, int32_t>> setKinds;
  SourceReadings readings{};  // what a read for display hands out
  int32_t displayReads = 0;
};

extern SourceFakes sources;

void ResetSourceFakes();
