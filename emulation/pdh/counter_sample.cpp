// Taking one raw sample of a counter out of a host snapshot.
#include "emulation/pdh/counter_sample.h"

#include <string>

#include "emulation/pdh/counter_path.h"

namespace {

constexpr std::string_view kTotal = "_Total";

bool FindCpu(std::string_view instance, const HostSnapshot& snapshot, CpuTimes& out) {
  if (SameName(instance, kTotal)) {
    out = CpuTimes{};
    for (const CpuTimes& cpu : snapshot.cpus) {
      out.idle += cpu.idle;
      out.kernel += cpu.kernel;
      out.user += cpu.user;
    }
    return !snapshot.cpus.empty();
  }
  for (size_t i = 0; i < snapshot.cpus.size(); ++i) {
    if (instance == std::to_string(i)) {
      out = snapshot.cpus[i];
      return true;
    }
  }
  return false;
}

RawSample CpuSample(Figure figure, std::string_view instance, const HostSnapshot& snapshot) {
  CpuTimes cpu;
  RawSample sample;
  if (!FindCpu(instance, snapshot, cpu)) return sample;
  sample.present = true;
  sample.base = cpu.kernel + cpu.user;
  switch (figure) {
    case Figure::CpuBusy:
      sample.value = sample.base - cpu.idle;
      break;
    case Figure::CpuUser:
      sample.value = cpu.user;
      break;
    case Figure::CpuPrivileged:
      sample.value = cpu.kernel - cpu.idle;
      break;
    default:
      sample.value = cpu.idle;
      break;
  }
  return sample;
}

// Disk instances are "N name"; a time percentage compares busy time with the clock,
// both in 100 ns units.
RawSample DiskSample(Figure figure, std::string_view instance, const HostSnapshot& snapshot) {
  RawSample sample;
  const bool total = SameName(instance, kTotal);
  for (size_t i = 0; i < snapshot.disks.size(); ++i) {
    const DiskFigures& disk = snapshot.disks[i];
    if (!total && instance != std::to_string(i) + " " + disk.name) continue;
    sample.present = true;
    sample.value += figure == Figure::DiskBusy ? disk.busyMs * 10000 : disk.bytes;
  }
  // The total exists even on a machine with no disk, as on Windows.
  sample.present = sample.present || total;
  sample.base = snapshot.time100ns;
  return sample;
}

RawSample NetSample(std::string_view instance, const HostSnapshot& snapshot) {
  RawSample sample;
  const bool total = SameName(instance, kTotal);
  for (const NetFigures& net : snapshot.nets) {
    if (!total && !SameName(instance, net.name)) continue;
    sample.present = true;
    sample.value += net.bytes;
  }
  sample.present = sample.present || total;
  sample.base = snapshot.time100ns;
  return sample;
}

RawSample ThermalSample(std::string_view instance, const HostSnapshot& snapshot) {
  RawSample sample;
  for (const ThermalFigures& zone : snapshot.zones) {
    if (SameName(instance, zone.name)) {
      sample.present = true;
      sample.value = zone.milliKelvin;
    }
  }
  return sample;
}

RawSample Plain(int64_t value, int64_t base = 0) {
  RawSample sample;
  sample.value = value;
  sample.base = base;
  sample.present = true;
  return sample;
}

}  // namespace

RawSample TakeSample(const CounterDef& counter, std::string_view instance, const HostSnapshot& snapshot) {
  switch (counter.figure) {
    case Figure::CpuBusy:
    case Figure::CpuUser:
    case Figure::CpuPrivileged:
    case Figure::CpuIdle:
      return CpuSample(counter.figure, instance, snapshot);
    case Figure::MemAvailable:
      return Plain(snapshot.availableBytes);
    case Figure::MemCommitted:
      return Plain(snapshot.committedBytes);
    case Figure::MemCommittedPercent:
      return Plain(snapshot.committedBytes, snapshot.commitLimitBytes);
    case Figure::Processes:
      return Plain(snapshot.processes);
    case Figure::Threads:
      return Plain(snapshot.threads);
    case Figure::UpTime:
      return Plain(snapshot.upTimeMs);
    case Figure::DiskBusy:
    case Figure::DiskBytes:
      return DiskSample(counter.figure, instance, snapshot);
    case Figure::NetBytes:
      return NetSample(instance, snapshot);
    case Figure::Temperature:
      return ThermalSample(instance, snapshot);
  }
  return RawSample{};
}
