// The legacy statistics against the real registry, with HKEY_DYN_DATA mapped
// to a scratch key of this test process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dyn_data_scratch.h"
#include "sources/legacy_sources.h"
#include "sources/memory_used.h"
#include "sources/source_kinds.h"

namespace {

constexpr char kStart[] = "PerfStats\\StartStat";
constexpr char kData[] = "PerfStats\\StatData";
constexpr char kStop[] = "PerfStats\\StopStat";
constexpr int32_t kUntouched = -12345;

class LegacySourcesTest : public DynDataTest {
 protected:
  // The value the next new handle gets. Handles are handed out from the
  // lowest free slot, so a key left open moves it.
  static HANDLE NextHandle() {
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    return probe;
  }
};

TEST_F(LegacySourcesTest, StartAndStopNameTheStepThatFailed) {
  const std::vector<BYTE> stat = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // any length is read
  struct Row {
    const char* subkey;
    int32_t (*operation)();
  };
  const Row rows[] = {{kStart, StartCpuMonitor}, {kStop, StopCpuMonitor}};
  for (const Row& r : rows) {
    EXPECT_EQ(r.operation(), 1) << r.subkey << ": no key";
    Plant(r.subkey, nullptr);
    EXPECT_EQ(r.operation(), 2) << r.subkey << ": key without the value";
    Plant(r.subkey, &stat);
    EXPECT_EQ(r.operation(), 0) << r.subkey;
    const std::vector<BYTE> empty;
    Plant(r.subkey, &empty);
    EXPECT_EQ(r.operation(), 0) << r.subkey << ": empty value";
  }
}

TEST_F(LegacySourcesTest, CpuUsageIsTheStoredNumberUpToFourBytes) {
  struct Row {
    std::vector<BYTE> data;
    int32_t status, value;
  };
  const Row rows[] = {
      {{42, 0, 0, 0}, 0, 42},
      {{0x78, 0x56, 0x34, 0x12}, 0, 0x12345678},  // little-endian
      {{0xFF, 0xFF, 0xFF, 0xFF}, 0, -1},          // signed
      {{0x11, 0x22}, 0, 0x2211},                  // short data: the rest is zero
      {{0x7F}, 0, 0x7F},
      {{}, 0, 0},
      {{1, 0, 0, 0, 0}, 2, kUntouched},  // longer data fails
  };
  for (const Row& r : rows) {
    PlantCpu(r.data);
    int32_t value = kUntouched;
    EXPECT_EQ(ReadCpuUsage(&value), r.status) << r.data.size() << " bytes";
    EXPECT_EQ(value, r.value) << r.data.size() << " bytes";
  }
  PlantCpu({3, 0, 0, 0});
  EXPECT_EQ(ReadCpuUsage(nullptr), 0) << "a value without a destination is dropped";
}

TEST_F(LegacySourcesTest, CpuUsageNamesTheMissingKeyOrValue) {
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCpuUsage(&value), 1);
  Plant(kData, nullptr);
  EXPECT_EQ(ReadCpuUsage(&value), 2);
  EXPECT_EQ(value, kUntouched);
}

TEST_F(LegacySourcesTest, EveryPathClosesTheKeysItOpened) {
  const std::vector<BYTE> stat = {9, 0, 0, 0};
  Plant(kStart, &stat);
  Plant(kStop, nullptr);
  PlantCpu({1, 2, 3, 4, 5});
  int32_t value = 0;
  const HANDLE before = NextHandle();
  for (int round = 0; round < 20; ++round) {
    StartCpuMonitor();            // success
    StopCpuMonitor();             // no value
    ReadCpuUsage(&value);         // too long
    ReadLegacySource(0, &value);  // through the dispatch by kind
  }
  EXPECT_EQ(NextHandle(), before);
}

TEST_F(LegacySourcesTest, MemoryIsWhatThePlatformReports) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  int32_t value = kUntouched;
  ASSERT_EQ(ReadMemoryUsedMb(&value), 0);
  const int32_t expected = MemoryUsedMb(status.ullTotalPhys, status.ullAvailPhys);
  // Memory moves between the two calls; a few megabytes either way is the same reading.
  EXPECT_NEAR(value, expected, 64);
  EXPECT_GT(value, 0);
  EXPECT_EQ(ReadMemoryUsedMb(nullptr), 1);
  EXPECT_EQ(StartMemoryMonitor(), 0);
  EXPECT_EQ(StopMemoryMonitor(), 0);
}

TEST_F(LegacySourcesTest, AFailingLedIsNamedAndTheEarlierPlacesAreFilled) {
  // No statistic at all: LED index k is the first on the processor.
  for (int32_t k = 0; k < kLedCount; ++k) {
    ResetSourceKinds();
    for (int32_t i = 0; i < k; ++i) SetSourceKind(i, kSourceMem);
    LedValues values;
    values.fill(kUntouched);
    EXPECT_EQ(ReadAllLegacySources(&values), 2 + k) << "first processor LED " << k;
    for (int32_t i = 0; i < k; ++i) EXPECT_GT(values[i], 0) << "LED index " << i;
    for (int32_t i = k; i < kLedCount; ++i) EXPECT_EQ(values[i], kUntouched) << "LED index " << i;
  }
}

TEST_F(LegacySourcesTest, AllMemoryLedsNeedNoStatistic) {
  // Were the statistic's key opened, the read would fail: it does not exist.
  for (int32_t i = 0; i < kLedCount; ++i) SetSourceKind(i, kSourceMem);
  LedValues values;
  values.fill(kUntouched);
  EXPECT_EQ(ReadAllLegacySources(&values), 0);
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_GT(values[i], 0) << "LED index " << i;
}

TEST_F(LegacySourcesTest, ArgumentsAreCheckedBeforeAnythingIsRead) {
  PlantCpu({5, 0, 0, 0});
  int32_t value = kUntouched;
  for (int32_t index : {-1, 8, INT32_MAX}) {
    EXPECT_EQ(ReadLegacySource(index, &value), 1) << index;
  }
  EXPECT_EQ(value, kUntouched);
  EXPECT_EQ(ReadLegacySource(0, nullptr), 1);
  EXPECT_EQ(ReadAllLegacySources(nullptr), 1);
  EXPECT_EQ(ReadLegacySource(7, &value), 0);
  EXPECT_EQ(value, 5);
}

}  // namespace
