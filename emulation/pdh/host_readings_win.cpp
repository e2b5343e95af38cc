// Taking a snapshot of the host's figures, from Win32 calls Wine answers from the host.
#include "emulation/pdh/host_readings.h"

#include <windows.h>
#include <winternl.h>

#include <vector>

#include "emulation/pdh/host_files.h"
#include "emulation/pdh/host_network.h"
#include "emulation/pdh/proc_text.h"

namespace {

int64_t Now100ns() {
  LARGE_INTEGER count;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  // Split so the multiplication cannot overflow for any uptime.
  const int64_t whole = count.QuadPart / frequency.QuadPart;
  const int64_t part = count.QuadPart % frequency.QuadPart;
  return whole * 10000000 + part * 10000000 / frequency.QuadPart;
}

// Asked once: the meter collects many times a second, and every call into
// Wine costs a few microseconds more than it does on Windows.
DWORD ProcessorCount() {
  static const DWORD count = [] {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
  }();
  return count;
}

// Wine answers this from the host's /proc/stat, per processor.
void ReadCpus(HostSnapshot& snapshot) {
  std::vector<SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION> times(ProcessorCount());
  ULONG length = 0;
  const NTSTATUS status = NtQuerySystemInformation(SystemProcessorPerformanceInformation, times.data(),
                                                   static_cast<ULONG>(times.size() * sizeof(times[0])), &length);
  if (status != 0) return;
  times.resize(length / sizeof(times[0]));
  for (const auto& time : times) {
    snapshot.cpus.push_back(CpuTimes{time.IdleTime.QuadPart, time.KernelTime.QuadPart, time.UserTime.QuadPart});
  }
}

// Wine answers available memory from the host, but its commit figures are the
// host's memory in use, not the memory processes have committed; those come from
// /proc/meminfo, whose commit limit is the kernel's overcommit limit.
void ReadMemory(HostSnapshot& snapshot) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  if (GlobalMemoryStatusEx(&status)) snapshot.availableBytes = static_cast<int64_t>(status.ullAvailPhys);
  std::string text;
  if (!ReadHostFile("Z:\\proc\\meminfo", text)) return;
  ParseMeminfoBytes(text, "Committed_AS", snapshot.committedBytes);
  ParseMeminfoBytes(text, "CommitLimit", snapshot.commitLimitBytes);
}

// Wine's own process and thread counts cover only the programs of its prefix,
// so the host's are taken from /proc.
void ReadSystem(HostSnapshot& snapshot) {
  snapshot.upTimeMs = static_cast<int64_t>(GetTickCount64());
  for (const std::string& name : ListHostFolder("Z:\\proc\\*")) {
    if (IsProcessEntry(name)) ++snapshot.processes;
  }
  std::string text;
  if (ReadHostFile("Z:\\proc\\loadavg", text)) ParseLoadavgThreads(text, snapshot.threads);
}

// Whole physical disks are the block devices backed by a device; loop and
// mapper devices have none.
void ReadDisks(HostSnapshot& snapshot) {
  for (const std::string& name : ListHostFolder("Z:\\sys\\block\\*")) {
    const std::string folder = "Z:\\sys\\block\\" + name;
    if (!HostPathExists(folder + "\\device")) continue;
    std::string text;
    DiskFigures disk;
    disk.name = name;
    if (ReadHostFile(folder + "\\stat", text) && ParseBlockStat(text, disk.bytes, disk.busyMs)) {
      snapshot.disks.push_back(disk);
    }
  }
}

void ReadThermalZones(HostSnapshot& snapshot) {
  for (const std::string& name : ListHostFolder("Z:\\sys\\class\\thermal\\thermal_zone*")) {
    std::string text;
    ThermalFigures zone;
    zone.name = name;
    if (ReadHostFile("Z:\\sys\\class\\thermal\\" + name + "\\temp", text) &&
        ParseMilliCelsius(text, zone.milliKelvin)) {
      snapshot.zones.push_back(zone);
    }
  }
}

}  // namespace

void ReadHostSnapshot(unsigned groups, HostSnapshot& snapshot) {
  snapshot = HostSnapshot{};
  snapshot.time100ns = Now100ns();
  if (groups & READ_CPU) ReadCpus(snapshot);
  if (groups & READ_MEMORY) ReadMemory(snapshot);
  if (groups & READ_SYSTEM) ReadSystem(snapshot);
  if (groups & READ_DISK) ReadDisks(snapshot);
  if (groups & READ_NET) ReadNetworks(snapshot);
  if (groups & READ_THERMAL) ReadThermalZones(snapshot);
}
