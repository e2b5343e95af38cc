// One reading of the host's figures, taken at a collection: what every counter is computed from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Processor times in 100 ns units; kernel time includes idle time, as Windows counts it.
struct CpuTimes {
  int64_t idle = 0;
  int64_t kernel = 0;
  int64_t user = 0;
};

struct DiskFigures {
  std::string name;
  int64_t busyMs = 0;  // time the disk spent with I/O in flight
  int64_t bytes = 0;   // bytes read and written since boot
};

struct NetFigures {
  std::string name;
  int64_t bytes = 0;  // bytes received and sent since the interface came up
};

struct ThermalFigures {
  std::string name;
  int64_t milliKelvin = 0;
};

// What a collection needs to read; a query asks only for the groups its counters use.
enum ReadingGroup : unsigned {
  READ_CPU = 1u << 0,
  READ_MEMORY = 1u << 1,
  READ_SYSTEM = 1u << 2,
  READ_DISK = 1u << 3,
  READ_NET = 1u << 4,
  READ_THERMAL = 1u << 5,
  READ_ALL = 0x3Fu,
};

struct HostSnapshot {
  int64_t time100ns = 0;  // when the snapshot was taken, a monotonic clock
  std::vector<CpuTimes> cpus;
  int64_t availableBytes = 0;
  int64_t committedBytes = 0;
  int64_t commitLimitBytes = 0;
  int64_t processes = 0;
  int64_t threads = 0;
  int64_t upTimeMs = 0;
  std::vector<DiskFigures> disks;
  std::vector<NetFigures> nets;
  std::vector<ThermalFigures> zones;
};
