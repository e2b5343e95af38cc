// Recording fakes of what the settings store calls: the registry value
// primitives over an in-memory key, and the sources' family probe, counter
// paths and source kinds.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/meter_settings.h"

struct FakeRegistry {
  std::map<std::string, int32_t> dwords;
  std::map<std::string, std::string> strings;
  // "read NAME" or "write NAME" for every call, defaults included as writes.
  std::vector<std::string> calls;
  // The call on this value name answers failStatus instead of doing anything.
  std::string failName;
  int32_t failStatus = 0;
};

struct FakeSources {
  // The family probe's answers, one per call; the last repeats.
  std::vector<int32_t> pdhAnswers{1};
  std::size_t pdhCalls = 0;
  std::array<std::optional<std::string>, kLedCount> counterPaths;
  std::array<int32_t, kLedCount> kinds{};
};

extern FakeRegistry fakeRegistry;
extern FakeSources fakeSources;

void ResetStoreFakes();
// The calls of the given kind ("read" or "write"), names only, in order.
std::vector<std::string> CalledNames(const std::string& kind);
