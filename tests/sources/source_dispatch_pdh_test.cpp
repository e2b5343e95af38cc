// Dispatch while pdh.dll can be loaded (the fake): every failure of the
// counter reads is told as the PDH family's.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_pdh_control.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"

namespace {

class PdhDispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    StopPdhMonitor();
    fake_pdh::ClearAll();
    ASSERT_TRUE(fake_pdh::UseVariant("complete"));
  }
  void TearDown() override { StopPdhMonitor(); }
};

TEST_F(PdhDispatchTest, TheProbeAsksAfreshEachTime) {
  EXPECT_EQ(IsPdhAvailable(), 1);
  ASSERT_TRUE(fake_pdh::UseVariant("no-such-folder"));
  EXPECT_EQ(IsPdhAvailable(), 0);
  ASSERT_TRUE(fake_pdh::UseVariant("without-PdhBrowseCountersA"));
  EXPECT_EQ(IsPdhAvailable(), 1) << "a library lacking entry points still selects the family";
  EXPECT_EQ(GetModuleHandleA("pdh.dll"), nullptr) << "the probe releases what it loaded";
}

TEST_F(PdhDispatchTest, SamplesComeFromTheCounters) {
  fake_pdh::Set(fake_pdh::kValues, "\\System\\Processes=314");
  ASSERT_EQ(StartPdhMonitor(), 0);
  ASSERT_EQ(SetCounterPath("\\System\\Processes", 3), 0);
  LedValues values{};
  ASSERT_EQ(SampleAll(&values), kSampleOk);
  EXPECT_EQ(values, (LedValues{5, 5, 5, 314, 5, 5, 5, 5}));
  int32_t value = 0;
  ASSERT_EQ(SampleOne(3, &value), kSampleOk);
  EXPECT_EQ(value, 314);
}

TEST_F(PdhDispatchTest, EveryCounterReadFailureIsThePdhFamilys) {
  struct Row {
    const char* knob;
    std::string value;
  };
  std::vector<Row> rows = {{fake_pdh::kFailCollect, "1"}};
  for (int i = 0; i < kLedCount; ++i) rows.push_back({fake_pdh::kFailFormat, std::to_string(i)});
  for (const Row& r : rows) {
    StopPdhMonitor();
    fake_pdh::ClearAll();
    ASSERT_EQ(StartPdhMonitor(), 0);
    fake_pdh::Set(r.knob, r.value);
    LedValues values{};
    EXPECT_EQ(SampleAll(&values), kSamplePdhFailed) << r.knob << "=" << r.value;
    int32_t value = 0;
    const int32_t index = r.knob == fake_pdh::kFailCollect ? 0 : std::stoi(r.value);
    EXPECT_EQ(SampleOne(index, &value), kSamplePdhFailed) << r.knob << "=" << r.value;
  }
  EXPECT_EQ(SampleAll(nullptr), kSamplePdhFailed);
}

TEST_F(PdhDispatchTest, ReadsOfAMonitorNeverStartedFail) {
  // The library became loadable, but the monitor never bound it.
  LedValues values{};
  int32_t value = 0;
  EXPECT_EQ(SampleAll(&values), kSamplePdhFailed);
  EXPECT_EQ(SampleOne(0, &value), kSamplePdhFailed);
}

TEST_F(PdhDispatchTest, AnIndexOutsideTheRowIsThePdhFamilysFailure) {
  ASSERT_EQ(StartPdhMonitor(), 0);
  int32_t value = 0;
  for (int32_t index : {-1, 8, INT32_MIN}) EXPECT_EQ(SampleOne(index, &value), kSamplePdhFailed) << index;
  EXPECT_EQ(SampleOne(0, nullptr), kSamplePdhFailed);
}

}  // namespace
