// The host's own figures, read by the tests straight from /proc to check the counters against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A /proc/meminfo field in kB, -1 when absent.
int64_t MeminfoKb(const char* field);
double UptimeSeconds();
int64_t HostProcessCount();
// Sum of every process's "Threads:" line.
int64_t HostThreadCount();
// Busy and total jiffies of /proc/stat's "cpu" line (cpuLine = "cpu") or of one processor ("cpu0").
void CpuJiffies(const char* cpuLine, int64_t& busy, int64_t& total);
// Interface names of /proc/net/dev, without the loopback.
std::vector<std::string> HostInterfaces();
std::string HostFile(const std::string& path);
// Whether /sys/block lists a device-backed disk.
bool HostHasDisk();
