// The settings model: what each operation stores, refuses and reports.
#include <gtest/gtest.h>

#include "core/meter_settings.h"

namespace {

class MeterSettingsTest : public testing::Test {
 protected:
  void SetUp() override { ResetMeterSettings(); }

  static MeterOptions Options() {
    MeterOptions o{};
    EXPECT_EQ(GetMeterOptions(&o.interpolationLed, &o.writeDelay), 0);
    return o;
  }
};

TEST_F(MeterSettingsTest, StartsWithInterpolationOnLedOneAndFortyMilliseconds) {
  const MeterOptions o = Options();
  EXPECT_EQ(o.interpolationLed, 0);
  EXPECT_EQ(o.writeDelay, 40);
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(LedChannels()[i].weight, 1 << i) << "LED index " << i;
}

TEST_F(MeterSettingsTest, SetMeterOptionsStepsInOrder) {
  struct Row {
    int32_t led, delay, status, wantLed, wantDelay;
  };
  // Each row starts from the initial options (LED index 0, 40 ms).
  const Row rows[] = {
      {-1, 25, 0, -1, 25},                      // interpolation off, 25 ms
      {3, 0, 2, 3, 40},                         // LED stored, delay refused
      {7, -5, 2, 7, 40},   {8, 100, 1, 0, 40},  // nothing stored
      {-2, 100, 1, 0, 40}, {12, 100, 1, 0, 40}, {7, 1, 0, 7, 1}, {0, INT32_MAX, 0, 0, INT32_MAX},
  };
  for (const Row& r : rows) {
    ResetMeterSettings();
    EXPECT_EQ(SetMeterOptions(r.led, r.delay), r.status) << r.led << ", " << r.delay;
    const MeterOptions o = Options();
    EXPECT_EQ(o.interpolationLed, r.wantLed) << r.led << ", " << r.delay;
    EXPECT_EQ(o.writeDelay, r.wantDelay) << r.led << ", " << r.delay;
  }
}

TEST_F(MeterSettingsTest, RangesAreStoredUncheckedButOnlyForRealLeds) {
  EXPECT_EQ(SetLedRange(7, 90, 10), 0);  // floor above ceiling is kept as it is
  EXPECT_EQ(SetLedRange(0, -5, INT32_MIN), 0);
  int32_t floor = 1, ceiling = 1;
  EXPECT_EQ(GetLedRange(7, &floor, &ceiling), 0);
  EXPECT_EQ(floor, 90);
  EXPECT_EQ(ceiling, 10);
  EXPECT_EQ(GetLedRange(0, &floor, &ceiling), 0);
  EXPECT_EQ(floor, -5);
  EXPECT_EQ(ceiling, INT32_MIN);

  EXPECT_EQ(SetLedRange(8, 1, 2), 1);
  EXPECT_EQ(SetLedRange(-1, 1, 2), 1);
  for (int32_t i = 1; i < 7; ++i) {
    EXPECT_EQ(GetLedRange(i, &floor, &ceiling), 0);
    EXPECT_EQ(floor, 0) << "LED index " << i << " changed by a refused call";
    EXPECT_EQ(ceiling, 0);
  }
}

TEST_F(MeterSettingsTest, ReadsRefusedWriteNothing) {
  int32_t a = 111, b = 222;
  EXPECT_EQ(GetLedRange(-1, &a, &b), 1);
  EXPECT_EQ(GetLedRange(8, &a, &b), 1);
  EXPECT_EQ(GetLedRange(0, nullptr, &b), 1);
  EXPECT_EQ(GetLedRange(0, &a, nullptr), 1);
  EXPECT_EQ(GetMeterOptions(nullptr, &b), 1);
  EXPECT_EQ(GetMeterOptions(&a, nullptr), 1);
  EXPECT_EQ(a, 111);
  EXPECT_EQ(b, 222);
}

}  // namespace
