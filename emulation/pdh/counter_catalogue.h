// The objects and counters this library knows: names, explanations and how each is computed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "emulation/pdh/host_snapshot.h"

// How a counter's value comes from its samples.
enum class CounterKind {
  TimePercent,     // 100 * delta value / delta base, two samples
  RatePerSecond,   // delta value / delta seconds, two samples
  Instant,         // value * scale, one sample
  InstantPercent,  // 100 * value / base, one sample
  Elapsed,         // value * scale, time since a start: read when added, no collection needed
};

// Which host figure a counter reads.
// clang-format off
enum class Figure {
  CpuBusy, CpuUser, CpuPrivileged, CpuIdle,
  MemAvailable, MemCommitted, MemCommittedPercent,
  Processes, Threads, UpTime,
  DiskBusy, DiskBytes,
  NetBytes,
  Temperature,
};
// clang-format on

enum class InstanceFamily { None, Processors, Disks, Networks, ThermalZones };

struct CounterDef {
  const char* name;
  const char* explain;
  CounterKind kind;
  Figure figure;
  double scale;    // Instant counters only
  unsigned group;  // ReadingGroup
};

struct ObjectDef {
  const char* name;
  const char* explain;
  InstanceFamily family;
  const CounterDef* counters;
  size_t counterCount;
};

constexpr size_t kNoEntry = static_cast<size_t>(-1);

size_t ObjectCount();
const ObjectDef& ObjectAt(size_t index);
// Case-insensitive lookups; kNoEntry when unknown.
size_t FindObject(std::string_view name);
size_t FindCounter(const ObjectDef& object, std::string_view name);

// Instance names the object has in this snapshot, in display order ("_Total" first
// where the object has one). Empty for an object without instances.
std::vector<std::string> InstanceNames(const ObjectDef& object, const HostSnapshot& snapshot);

// Whether a percentage counter, whose formatted value stops at 100 unless asked not to.
bool IsPercentKind(CounterKind kind);
