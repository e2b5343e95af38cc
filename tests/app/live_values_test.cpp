// The live values of the configuration dialog over scripted readings: what
// each row says, when it is read, and that reading for the dialog leaves the
// meter alone.
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "core/led_update.h"
#include "tests/app/config_fixture.h"

namespace {

class LiveValuesTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    ConfigDialogTest::SetUp();
    SetMeterOptions(kInterpolationOff, 40);
    for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, 0, 100);
    SetLedRange(1, 50, 100);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int32_t i = 0; i < kLedCount; ++i) rows.push_back(Text(IDC_CONFIG_LIVE_VALUE_1 + i));
    return rows;
  }
};

TEST_F(LiveValuesTest, RowsShowValuesAndWindowsAtOnceWithADashForAFailedReadAndLeaveTheMeterAlone) {
  sources.readings = {
      {{45, true}, {45, true}, {99, false}, {-3, true}, {100, true}, {101, true}, {0, true}, {7, true}}};
  GlideLastSampleTo(17);
  Show();
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"45 lit", "45 dark", "-", "-3 dark", "100 lit", "101 dark", "0 lit", "7 lit"}));
  // A new window shows at once, from the same reading.
  SetDlgItemTextA(dialog, IDC_CONFIG_FLOOR_2, "40");  // as typed: the edit reports the change
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_2), "45 lit");
  // Interpolation on LED 1: every LED is compared with LED 1's value.
  SetDlgItemTextA(dialog, IDC_CONFIG_CEILING_4, "44");
  Click(IDC_CONFIG_INTERPOLATE);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"45 lit", "45 lit", "45 lit", "45 dark", "45 lit", "45 lit", "45 lit",
                                              "45 lit"}));
  EXPECT_EQ(sources.displayReads, 1);

  // The failed read showed no box and ended nothing, and the meter never ran.
  EXPECT_EQ(FindThreadWindow("Pipstack"), nullptr);
  EXPECT_FALSE(IsQuitRequested());
  EXPECT_TRUE(fakes.writes.empty());
  EXPECT_EQ(fakes.sampleAllCalls, 0);
  EXPECT_TRUE(fakes.sampleOneIndexes.empty());
  EXPECT_EQ(LastSample(), 17);
}

TEST_F(LiveValuesTest, ReadAboutEverySecondWhileShownAndAtOnceAfterASourceChange) {
  const auto pumpFor = [](DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(10)) DrainQueue();
  };
  sources.readings.fill({1, true});
  Show();
  sources.readings.fill({2, true});
  pumpFor(1300);
  EXPECT_EQ(sources.displayReads, 2);
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_8), "2 lit");

  sources.pdhAvailable = 1;
  sources.readings[2] = {60, true};
  Click(IDC_CONFIG_SOURCE_BUTTON_3);
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_3), "60 lit");

  Click(IDC_CONFIG_CLOSE);
  pumpFor(1300);
  EXPECT_EQ(sources.displayReads, 3) << "read while hidden";
}

}  // namespace
