// The kernel's processor-utilisation statistic under HKEY_DYN_DATA: started,
// read and stopped by reading a registry value.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "core/scoped_win.h"
#include "sources/legacy_sources.h"

namespace {

constexpr char kStartKey[] = "PerfStats\\StartStat";
constexpr char kDataKey[] = "PerfStats\\StatData";
constexpr char kStopKey[] = "PerfStats\\StopStat";
// One value name with a backslash in it, not a further subkey.
constexpr char kCpuValue[] = "KERNEL\\CPUUsage";

bool OpenStatKey(const char* subkey, ScopedKey* key) {
  return RegOpenKeyExA(HKEY_DYN_DATA, subkey, 0, KEY_READ, key->Out()) == ERROR_SUCCESS;
}

// Reading the value is what starts or stops the statistic; the data itself
// is discarded.
int32_t ToggleStatistic(const char* subkey) {
  ScopedKey key;
  if (!OpenStatKey(subkey, &key)) return kCpuToggleNoKey;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), kCpuValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return kCpuToggleNoSize;
  }
  // Without a scratch buffer the second query only reports the size again,
  // which still counts as a read.
  std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[size == 0 ? 1 : size]);
  if (RegQueryValueExA(key.Get(), kCpuValue, nullptr, &type, scratch.get(), &size) != ERROR_SUCCESS) {
    return kCpuToggleNotRead;
  }
  return kCpuToggleOk;
}

}  // namespace

int32_t StartCpuMonitor() { return ToggleStatistic(kStartKey); }

int32_t StopCpuMonitor() { return ToggleStatistic(kStopKey); }

// The stored type is not examined. Data longer than 4 bytes fails; shorter
// data leaves the missing high bytes zero.
int32_t ReadCpuUsage(int32_t* value) {
  ScopedKey key;
  if (!OpenStatKey(kDataKey, &key)) return kCpuReadNoKey;
  BYTE data[4] = {0, 0, 0, 0};
  DWORD size = sizeof data;
  if (RegQueryValueExA(key.Get(), kCpuValue, nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
    return kCpuReadNotRead;
  }
  if (value != nullptr) {
    const uint32_t little =
        uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
    std::memcpy(value, &little, sizeof little);
  }
  return kCpuReadOk;
}
