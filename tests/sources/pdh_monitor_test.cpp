// The PDH counter monitor against the fake pdh.dll, loaded for real: what it
// hands the library, what it keeps, and how every failure leaves it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "fake_pdh_control.h"
#include "sources/pdh_monitor.h"

namespace {

constexpr int32_t kUntouched = -777;
constexpr char kDefault[] = "\\Processor(_Total)\\% Processor Time";
constexpr char kProcesses[] = "\\System\\Processes";          // 60 unless scripted
constexpr char kCpu0[] = "\\Processor(0)\\% Processor Time";  // a rate counter, 7

class PdhMonitorTest : public testing::Test {
 protected:
  void SetUp() override {
    StopPdhMonitor();
    log_ = fake_pdh::StartCompleteRun();
    ASSERT_FALSE(log_.empty());
  }
  void TearDown() override { StopPdhMonitor(); }

  std::vector<std::string> Log() const { return fake_pdh::ReadLog(log_); }
  // The calls logged since the given count.
  std::vector<std::string> LogSince(size_t start) const {
    const std::vector<std::string> all = Log();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(std::min(start, all.size())), all.end());
  }

  static LedValues Untouched() {
    LedValues values;
    values.fill(kUntouched);
    return values;
  }

  std::string log_;
};

std::string Add(const std::string& path, int i) {
  return "add path=" + path + " user=" + std::to_string(i) + " -> 0x0";
}

TEST_F(PdhMonitorTest, StartOpensALiveQueryAddsEightDefaultCountersAndPrimesIt) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  std::vector<std::string> expected = {"load", "open source=null user=0 -> 0x0"};
  for (int i = 0; i < kLedCount; ++i) expected.push_back(Add(kDefault, i));
  expected.push_back("collect -> 0x0");
  EXPECT_EQ(Log(), expected);

  for (int32_t i = 0; i < kLedCount; ++i) {
    ASSERT_NE(GetCounterPath(i), nullptr);
    EXPECT_STREQ(GetCounterPath(i), kDefault);
    for (int32_t j = 0; j < i; ++j) EXPECT_NE(GetCounterPath(i), GetCounterPath(j)) << "shared copy " << i << ", " << j;
  }
  // A rate counter formats only from its second collection: the priming one
  // and this read's.
  LedValues values = Untouched();
  ASSERT_EQ(ReadAllCounters(&values), 0);
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(values[i], 5) << "LED index " << i;
}

TEST_F(PdhMonitorTest, StartNamesTheStepThatFailed) {
  struct Row {
    const char* variant;
    const char* knob;
    const char* value;
    int32_t status;
    const char* lastCall;  // what the library saw last
  };
  const Row rows[] = {
      {"without-PdhOpenQueryA", nullptr, nullptr, 1, "load"},
      {"without-PdhCloseQuery", nullptr, nullptr, 1, "load"},
      {"without-PdhAddCounterA", nullptr, nullptr, 1, "load"},
      {"without-PdhRemoveCounter", nullptr, nullptr, 1, "load"},
      {"without-PdhBrowseCountersA", nullptr, nullptr, 1, "load"},
      {"without-PdhGetFormattedCounterValue", nullptr, nullptr, 1, "load"},
      {"without-PdhCollectQueryData", nullptr, nullptr, 1, "load"},
      {"complete", fake_pdh::kFailOpen, "1", 2, "open source=null user=0 -> 0xC0000BBB"},
      {"complete", fake_pdh::kFailAdd, "1", 3, "close -> 0x0"},
      {"complete", fake_pdh::kFailAdd, "5", 3, "close -> 0x0"},
      {"complete", fake_pdh::kFailAdd, "8", 3, "close -> 0x0"},
      {"complete", fake_pdh::kReject, kDefault, 3, "close -> 0x0"},
  };
  for (const Row& r : rows) {
    StopPdhMonitor();
    fake_pdh::ClearAll();
    log_ = fake_pdh::StartLog();
    ASSERT_TRUE(fake_pdh::UseVariant(r.variant));
    if (r.knob != nullptr) fake_pdh::Set(r.knob, r.value);
    EXPECT_EQ(StartPdhMonitor(), r.status) << r.variant << " " << (r.value ? r.value : "");
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), r.lastCall) << r.variant << " " << (r.value ? r.value : "");
    if (r.status == 3) {
      // After the close nothing reads: the counters went with the query.
      int32_t value = kUntouched;
      EXPECT_EQ(ReadCounter(0, &value), 2);
      EXPECT_EQ(LogSince(log.size()), std::vector<std::string>{}) << "closed query handed to the library";
    }
  }
}

TEST_F(PdhMonitorTest, ReadsGiveEachLedsScriptedValue) {
  fake_pdh::Set(fake_pdh::kValues, std::string(kDefault) + "=37;" + kProcesses + "=-12");
  ASSERT_EQ(StartPdhMonitor(), 0);
  ASSERT_EQ(SetCounterPath(kProcesses, 6), 0);
  ASSERT_EQ(SetCounterPath(kCpu0, 1), 0);  // a rate counter, primed by the change
  LedValues values = Untouched();
  ASSERT_EQ(ReadAllCounters(&values), 0);
  EXPECT_EQ(values, (LedValues{37, 7, 37, 37, 37, 37, -12, 37}));

  fake_pdh::Set(fake_pdh::kValues, std::string(kProcesses) + "=99");
  const size_t before = Log().size();
  int32_t value = kUntouched;
  ASSERT_EQ(ReadCounter(6, &value), 0);
  EXPECT_EQ(value, 99) << "each read collects anew";
  EXPECT_EQ(LogSince(before), (std::vector<std::string>{"collect -> 0x0", "format user=6 format=0x100 -> 0x0"}));
}

TEST_F(PdhMonitorTest, ReadArgumentsAreCheckedBeforeCollecting) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  const size_t before = Log().size();
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCounter(3, nullptr), 1);
  EXPECT_EQ(ReadCounter(-1, &value), 1);
  EXPECT_EQ(ReadCounter(8, &value), 1);
  EXPECT_EQ(ReadAllCounters(nullptr), 1);
  EXPECT_EQ(value, kUntouched);
  EXPECT_EQ(LogSince(before), std::vector<std::string>{});
}

TEST_F(PdhMonitorTest, AFailedCollectionFailsEveryRead) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  fake_pdh::Set(fake_pdh::kFailCollect, "1");
  LedValues values = Untouched();
  int32_t value = kUntouched;
  EXPECT_EQ(ReadAllCounters(&values), 2);
  EXPECT_EQ(ReadCounter(0, &value), 2);
  EXPECT_EQ(values, Untouched());
  EXPECT_EQ(value, kUntouched);
}

TEST_F(PdhMonitorTest, AFailedFormatNamesTheLedAndKeepsTheLaterPlaces) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  for (int32_t failing = 0; failing < kLedCount; ++failing) {
    fake_pdh::Set(fake_pdh::kFailFormat, std::to_string(failing));
    LedValues values = Untouched();
    EXPECT_EQ(ReadAllCounters(&values), 3 + failing);
    for (int32_t i = 0; i < kLedCount; ++i) {
      EXPECT_EQ(values[i], i < failing ? 5 : kUntouched) << "failing " << failing << ", LED index " << i;
    }
    int32_t value = kUntouched;
    EXPECT_EQ(ReadCounter(failing, &value), 3) << failing;
    EXPECT_EQ(ReadCounter((failing + 1) % kLedCount, &value), 0) << failing;
  }
}

TEST_F(PdhMonitorTest, SetCounterPathReplacesTheCounterEvenWithTheSamePath) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  const char* before = GetCounterPath(4);
  const size_t start = Log().size();
  ASSERT_EQ(SetCounterPath(kDefault, 4), 0);
  EXPECT_EQ(LogSince(start), (std::vector<std::string>{"remove user=4 -> 0x0", Add(kDefault, 4), "collect -> 0x0"}));
  EXPECT_STREQ(GetCounterPath(4), kDefault);

  // The monitor keeps its own copy: the caller's text may change or go.
  char mine[64] = "\\Memory\\Available MBytes";
  ASSERT_EQ(SetCounterPath(mine, 4), 0);
  mine[1] = 'X';
  EXPECT_STREQ(GetCounterPath(4), "\\Memory\\Available MBytes");
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (i != 4) {
      EXPECT_STREQ(GetCounterPath(i), kDefault) << "LED index " << i;
    }
  }
  EXPECT_NE(before, nullptr);
}

TEST_F(PdhMonitorTest, ARejectedPathKeepsTheOldTextAndFailsTheLedsReads) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  ASSERT_EQ(SetCounterPath(kProcesses, 5), 0);
  EXPECT_EQ(SetCounterPath("\\No Such\\Counter", 5), 2);
  EXPECT_STREQ(GetCounterPath(5), kProcesses);
  LedValues values = Untouched();
  EXPECT_EQ(ReadAllCounters(&values), 3 + 5);
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCounter(5, &value), 3);
  EXPECT_EQ(ReadCounter(2, &value), 0) << "the other LEDs read on";

  // A path the library refuses for its own reasons is no different.
  fake_pdh::Set(fake_pdh::kReject, kCpu0);
  EXPECT_EQ(SetCounterPath(kCpu0, 1), 2);
  EXPECT_EQ(ReadAllCounters(&values), 3 + 1) << "the earlier LED fails first";

  // The LED without a counter has nothing to remove: a good path mends it.
  const size_t start = Log().size();
  EXPECT_EQ(SetCounterPath(kProcesses, 1), 0);
  EXPECT_EQ(LogSince(start).front(), Add(kProcesses, 1));
  EXPECT_EQ(SetCounterPath(kDefault, 5), 0);
  EXPECT_EQ(ReadAllCounters(&values), 0);
  EXPECT_EQ(values[1], 60);
}

TEST_F(PdhMonitorTest, AStoredPathTheLibraryRefusesRunsDarkUntilAGoodOneIsSet) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  fake_pdh::Set(fake_pdh::kValues, std::string(kProcesses) + "=61");
  const struct {
    int32_t index;
    const char* path;
    int32_t status;
  } loads[] = {
      {1, "\\No Such\\Counter", 2}, {3, kProcesses, 0}, {4, "", 2}, {6, "CPU", 2}, {7, kProcesses, 0},
  };
  for (const auto& load : loads) {
    EXPECT_EQ(LoadCounterPath(load.path, load.index), load.status) << load.path;
    EXPECT_STREQ(GetCounterPath(load.index), load.path) << "the stored path is kept";
  }
  EXPECT_EQ(DarkCounterLeds(), LedBit(1) | LedBit(4) | LedBit(6));

  // The others read; a dark LED's place is left as it was, and on its own it
  // has no value.
  LedValues values = Untouched();
  ASSERT_EQ(ReadAllCounters(&values), 0);
  EXPECT_EQ(values, (LedValues{5, kUntouched, 5, 61, kUntouched, 5, kUntouched, 61}));
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCounter(4, &value), 3);
  EXPECT_EQ(value, kUntouched);

  // The user's choice: refused, the LED stays dark with its stored path;
  // added, it meters again.
  EXPECT_EQ(SetCounterPath("\\Still\\Missing", 1), 2);
  EXPECT_STREQ(GetCounterPath(1), "\\No Such\\Counter");
  EXPECT_EQ(SetCounterPath(kProcesses, 4), 0);
  EXPECT_EQ(DarkCounterLeds(), LedBit(1) | LedBit(6));
  ASSERT_EQ(ReadAllCounters(&values), 0);
  EXPECT_EQ(values[4], 61);

  // A counter that fails while running still fails the read.
  fake_pdh::Set(fake_pdh::kFailFormat, "5");
  EXPECT_EQ(ReadAllCounters(&values), 3 + 5);

  // A new start has no dark LEDs.
  StopPdhMonitor();
  EXPECT_EQ(DarkCounterLeds(), kNoLeds);
  fake_pdh::ClearAll();
  ASSERT_TRUE(fake_pdh::UseVariant("complete"));
  ASSERT_EQ(StartPdhMonitor(), 0);
  EXPECT_EQ(DarkCounterLeds(), kNoLeds);
}

TEST_F(PdhMonitorTest, AFailedRemovalChangesNothing) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  ASSERT_EQ(SetCounterPath(kProcesses, 0), 0);
  fake_pdh::Set(fake_pdh::kFailRemove, "1");
  EXPECT_EQ(SetCounterPath(kCpu0, 0), 1);
  EXPECT_STREQ(GetCounterPath(0), kProcesses);
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCounter(0, &value), 0);
  EXPECT_EQ(value, 60);
}

TEST_F(PdhMonitorTest, PathsExistOnlyForLedsOfARunningMonitor) {
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(GetCounterPath(i), nullptr) << "before the start";
  ASSERT_EQ(StartPdhMonitor(), 0);
  for (int32_t index : {-1, 8, INT32_MIN, INT32_MAX}) EXPECT_EQ(GetCounterPath(index), nullptr) << index;
  EXPECT_EQ(StopPdhMonitor(), 0);
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(GetCounterPath(i), nullptr) << "after the stop";
}

TEST_F(PdhMonitorTest, StopRemovesEveryCounterClosesAndUnbinds) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  const size_t start = Log().size();
  EXPECT_EQ(StopPdhMonitor(), 0);
  std::vector<std::string> expected;
  for (int i = 0; i < kLedCount; ++i) expected.push_back("remove user=" + std::to_string(i) + " -> 0x0");
  expected.push_back("close -> 0x0");
  expected.push_back("unload");
  EXPECT_EQ(LogSince(start), expected);
  EXPECT_EQ(GetModuleHandleA("pdh.dll"), nullptr);

  // Stopped, and stopped again: nothing reaches a library.
  EXPECT_EQ(StopPdhMonitor(), 0);
  int32_t value = kUntouched;
  EXPECT_EQ(ReadCounter(0, &value), 2);
  EXPECT_EQ(SetCounterPath(kDefault, 0), 2);
  EXPECT_EQ(LogSince(start).size(), expected.size());
}

}  // namespace
