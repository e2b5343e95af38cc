// The counter browser as the fake pdh.dll receives it, and what its answer
// does to the LED.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_pdh_control.h"
#include "sources/counter_browser_win.h"
#include "sources/pdh_monitor.h"

namespace {

constexpr char kDefault[] = "\\Processor(_Total)\\% Processor Time";
constexpr char kProcesses[] = "\\System\\Processes";
const HWND kOwner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4A2C6));

class CounterBrowserTest : public testing::Test {
 protected:
  void SetUp() override {
    StopPdhMonitor();
    log_ = fake_pdh::StartCompleteRun();
    ASSERT_FALSE(log_.empty());
    ASSERT_EQ(StartPdhMonitor(), 0);
  }
  void TearDown() override { StopPdhMonitor(); }

  // The browse lines the fake logged, in order.
  std::vector<std::string> Browses() const { return fake_pdh::ReadLogLines(log_, "browse "); }

  static std::string Expected(int digit, const char* status) {
    return "browse caption=Select a value for LED " + std::to_string(digit) +
           " to watch. flags=0x8C owner=0x4A2C6 source=null cch=260 callback=null callbackarg=0"
           " callbackstatus=0 detail=400 initial= -> " +
           status;
  }

  std::string log_;
};

TEST_F(CounterBrowserTest, EachLedGetsItsCaptionAndTheSameConfiguration) {
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(BrowseCounterForLed(kOwner, i), 2) << i;  // cancelled
  const std::vector<std::string> browses = Browses();
  ASSERT_EQ(browses.size(), static_cast<size_t>(kLedCount));
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(browses[i], Expected(i + 1, "0x800007D9"));
}

TEST_F(CounterBrowserTest, IndexesOutsideTheRowShowNothing) {
  for (int32_t index : {-1, 8, INT32_MAX}) EXPECT_EQ(BrowseCounterForLed(kOwner, index), 1) << index;
  EXPECT_TRUE(Browses().empty());
}

TEST_F(CounterBrowserTest, ACancelLeavesTheLedAsItWas) {
  ASSERT_EQ(SetCounterPath(kProcesses, 2), 0);
  const size_t before = fake_pdh::ReadLog(log_).size();
  EXPECT_EQ(BrowseCounterForLed(kOwner, 2), 2);
  EXPECT_EQ(fake_pdh::ReadLog(log_).size(), before + 1) << "only the browse itself";
  EXPECT_STREQ(GetCounterPath(2), kProcesses);
  int32_t value = 0;
  EXPECT_EQ(ReadCounter(2, &value), 0);
  EXPECT_EQ(value, 60);
}

TEST_F(CounterBrowserTest, AChoiceBecomesTheLedsCounter) {
  fake_pdh::Set(fake_pdh::kBrowse, kProcesses);
  EXPECT_EQ(BrowseCounterForLed(kOwner, 7), 0);
  EXPECT_EQ(Browses().back(), Expected(8, "0x0"));
  EXPECT_STREQ(GetCounterPath(7), kProcesses);
  LedValues values{};
  ASSERT_EQ(ReadAllCounters(&values), 0);
  EXPECT_EQ(values[7], 60);
  EXPECT_EQ(values[6], 5);

  // The next browse starts from an empty buffer, not the last choice.
  fake_pdh::Set(fake_pdh::kBrowse, kDefault);
  EXPECT_EQ(BrowseCounterForLed(kOwner, 0), 0);
  EXPECT_EQ(Browses().back(), Expected(1, "0x0"));
}

TEST_F(CounterBrowserTest, AChoiceTheLibraryRefusesIsTheAddsFailure) {
  fake_pdh::Set(fake_pdh::kBrowse, "\\Gone\\Away");
  EXPECT_EQ(BrowseCounterForLed(kOwner, 3), 2);
  EXPECT_STREQ(GetCounterPath(3), kDefault);
  LedValues values{};
  EXPECT_EQ(ReadAllCounters(&values), 3 + 3);
}

TEST_F(CounterBrowserTest, WithoutABoundBrowserNothingChanges) {
  StopPdhMonitor();
  fake_pdh::Set(fake_pdh::kBrowse, kProcesses);
  EXPECT_EQ(BrowseCounterForLed(kOwner, 0), 2);
  EXPECT_TRUE(Browses().empty());
}

}  // namespace
