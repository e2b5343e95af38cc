// The objects and counters this library knows: names, explanations and how each is computed.
#include "emulation/pdh/counter_catalogue.h"

#include <array>

#include "emulation/pdh/counter_path.h"

namespace {

constexpr double kPerMiB = 1.0 / (1024.0 * 1024.0);
constexpr double kPerKiB = 1.0 / 1024.0;

// clang-format off
constexpr std::array<CounterDef, 4> kProcessor = {{
    {"% Processor Time", "Share of time the processor spent running anything but the idle thread.",
     CounterKind::TimePercent, Figure::CpuBusy, 1.0, READ_CPU},
    {"% User Time", "Share of time the processor spent in user mode.",
     CounterKind::TimePercent, Figure::CpuUser, 1.0, READ_CPU},
    {"% Privileged Time", "Share of time the processor spent in privileged (kernel) mode.",
     CounterKind::TimePercent, Figure::CpuPrivileged, 1.0, READ_CPU},
    {"% Idle Time", "Share of time the processor was idle.",
     CounterKind::TimePercent, Figure::CpuIdle, 1.0, READ_CPU},
}};

constexpr std::array<CounterDef, 4> kMemory = {{
    {"Available MBytes", "Physical memory immediately available to processes, in megabytes.",
     CounterKind::Instant, Figure::MemAvailable, kPerMiB, READ_MEMORY},
    {"Available KBytes", "Physical memory immediately available to processes, in kilobytes.",
     CounterKind::Instant, Figure::MemAvailable, kPerKiB, READ_MEMORY},
    {"Committed Bytes", "Virtual memory committed by all processes, in bytes.",
     CounterKind::Instant, Figure::MemCommitted, 1.0, READ_MEMORY},
    {"% Committed Bytes In Use", "Committed memory as a share of the commit limit.",
     CounterKind::InstantPercent, Figure::MemCommittedPercent, 1.0, READ_MEMORY},
}};

constexpr std::array<CounterDef, 3> kSystem = {{
    {"Processes", "Number of processes on the machine.",
     CounterKind::Instant, Figure::Processes, 1.0, READ_SYSTEM},
    {"Threads", "Number of threads on the machine.",
     CounterKind::Instant, Figure::Threads, 1.0, READ_SYSTEM},
    {"System Up Time", "Seconds since the machine was started.",
     CounterKind::Elapsed, Figure::UpTime, 0.001, READ_SYSTEM},
}};

constexpr std::array<CounterDef, 2> kDisk = {{
    {"% Disk Time", "Share of time the disk was busy serving requests.",
     CounterKind::TimePercent, Figure::DiskBusy, 1.0, READ_DISK},
    {"Disk Bytes/sec", "Bytes read from and written to the disk per second.",
     CounterKind::RatePerSecond, Figure::DiskBytes, 1.0, READ_DISK},
}};

constexpr std::array<CounterDef, 1> kNetwork = {{
    {"Bytes Total/sec", "Bytes received and sent on the interface per second.",
     CounterKind::RatePerSecond, Figure::NetBytes, 1.0, READ_NET},
}};

constexpr std::array<CounterDef, 1> kThermal = {{
    {"Temperature", "Temperature of the thermal zone, in kelvin.",
     CounterKind::Instant, Figure::Temperature, 0.001, READ_THERMAL},
}};

constexpr std::array<ObjectDef, 6> kObjects = {{
    {"Processor", "Activity of each processor and of all of them together.",
     InstanceFamily::Processors, kProcessor.data(), kProcessor.size()},
    {"Memory", "Physical and virtual memory of the machine.",
     InstanceFamily::None, kMemory.data(), kMemory.size()},
    {"System", "Figures of the machine as a whole.",
     InstanceFamily::None, kSystem.data(), kSystem.size()},
    {"PhysicalDisk", "Activity of the machine's disks.",
     InstanceFamily::Disks, kDisk.data(), kDisk.size()},
    {"Network Interface", "Traffic on the machine's network interfaces.",
     InstanceFamily::Networks, kNetwork.data(), kNetwork.size()},
    {"Thermal Zone Information", "Temperatures the machine's thermal zones report.",
     InstanceFamily::ThermalZones, kThermal.data(), kThermal.size()},
}};
// clang-format on

constexpr const char* kTotal = "_Total";

}  // namespace

size_t ObjectCount() { return kObjects.size(); }

const ObjectDef& ObjectAt(size_t index) { return kObjects[index]; }

size_t FindObject(std::string_view name) {
  for (size_t i = 0; i < kObjects.size(); ++i) {
    if (SameName(kObjects[i].name, name)) return i;
  }
  return kNoEntry;
}

size_t FindCounter(const ObjectDef& object, std::string_view name) {
  for (size_t i = 0; i < object.counterCount; ++i) {
    if (SameName(object.counters[i].name, name)) return i;
  }
  return kNoEntry;
}

std::vector<std::string> InstanceNames(const ObjectDef& object, const HostSnapshot& snapshot) {
  std::vector<std::string> names;
  switch (object.family) {
    case InstanceFamily::None:
      break;
    case InstanceFamily::Processors:
      names.push_back(kTotal);
      for (size_t i = 0; i < snapshot.cpus.size(); ++i) names.push_back(std::to_string(i));
      break;
    case InstanceFamily::Disks:
      names.push_back(kTotal);
      // Windows names a physical disk by its number; the host's name follows it.
      for (size_t i = 0; i < snapshot.disks.size(); ++i) {
        names.push_back(std::to_string(i) + " " + snapshot.disks[i].name);
      }
      break;
    case InstanceFamily::Networks:
      names.push_back(kTotal);
      for (const NetFigures& net : snapshot.nets) names.push_back(net.name);
      break;
    case InstanceFamily::ThermalZones:
      for (const ThermalFigures& zone : snapshot.zones) names.push_back(zone.name);
      break;
  }
  return names;
}

bool IsPercentKind(CounterKind kind) { return kind == CounterKind::TimePercent || kind == CounterKind::InstantPercent; }
