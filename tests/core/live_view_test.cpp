// The live rows of the configuration dialog: which reading each LED is
// compared with, whether it is lit, and the text a screen reader gets.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/live_view.h"

namespace {

class LiveViewTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetMeterSettings();
    // Ascending floors, one window that is empty (floor above ceiling).
    const int32_t floors[kLedCount] = {0, 10, 20, 30, 40, 55, 70, 90};
    for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, floors[i], i == 7 ? 10 : 100);
  }
  static std::vector<std::string> Texts(const SourceReadings& readings) {
    std::vector<std::string> texts;
    for (const LiveRow& row : ComposeLiveRows(readings)) texts.push_back(FormatLiveRow(row).data());
    return texts;
  }
};

TEST_F(LiveViewTest, EachLedComparesItsOwnReadingWithInterpolationOff) {
  SetMeterOptions(kInterpolationOff, 40);
  const SourceReadings readings = {
      {{5, true}, {9, true}, {20, true}, {0, false}, {100, true}, {101, true}, {-7, true}, {95, true}}};
  EXPECT_EQ(Texts(readings),
            (std::vector<std::string>{"5 lit", "9 dark", "20 lit", "-", "100 lit", "101 dark", "-7 dark", "95 dark"}));
  const LiveRows rows = ComposeLiveRows(readings);
  EXPECT_EQ(rows[0].value, 5);
  EXPECT_FALSE(rows[3].valid);
  EXPECT_FALSE(rows[3].lit) << "no value, never lit";
}

TEST_F(LiveViewTest, WithInterpolationEveryLedComparesTheSourceLedsReading) {
  SourceReadings readings{};
  for (int32_t i = 0; i < kLedCount; ++i) readings[i] = {1000 + i, true};
  readings[2] = {45, true};
  SetMeterOptions(2, 40);
  EXPECT_EQ(Texts(readings), (std::vector<std::string>{"45 lit", "45 lit", "45 lit", "45 lit", "45 lit", "45 dark",
                                                       "45 dark", "45 dark"}));
  // A source that cannot be read leaves every row without a value, however
  // well the other LEDs' own sources read.
  readings[2].valid = false;
  EXPECT_EQ(Texts(readings), std::vector<std::string>(kLedCount, "-"));
}

TEST_F(LiveViewTest, TextFitsTheWidestValues) {
  EXPECT_STREQ(FormatLiveRow({INT32_MIN, true, false}).data(), "-2147483648 dark");
  EXPECT_STREQ(FormatLiveRow({INT32_MAX, true, true}).data(), "2147483647 lit");
  EXPECT_STREQ(FormatLiveRow({12, false, false}).data(), "-");
}

}  // namespace
