// The update cycle: frames, statuses and pacing in both modes.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/led_update.h"
#include "tests/fakes/meter_io_fakes.h"

namespace {

constexpr int32_t kDefaultFloors[kLedCount] = {0, 10, 20, 30, 40, 55, 70, 85};

class LedUpdateTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetMeterSettings();
    ResetLedUpdate();
    ResetMeterIoFakes();
    for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, kDefaultFloors[i], 100);
  }
  static void Direct(int32_t delay = 40) { ASSERT_EQ(SetMeterOptions(kInterpolationOff, delay), 0); }
  static void Interpolated(int32_t led, int32_t delay = 40) { ASSERT_EQ(SetMeterOptions(led, delay), 0); }
  static LedValues Same(int32_t v) {
    LedValues values{};
    values.fill(v);
    return values;
  }
};

TEST_F(LedUpdateTest, ComposeFrameLightsLedsInsideTheirWindowsOnly) {
  EXPECT_EQ(ComposeFrame(LedValues{5, 15, 25, 35, 45, 60, 75, 90}, kNoLeds), 255);
  EXPECT_EQ(ComposeFrame(Same(-1), kNoLeds), 0);
  EXPECT_EQ(ComposeFrame(Same(0), kNoLeds), 1);      // exactly the floor
  EXPECT_EQ(ComposeFrame(Same(100), kNoLeds), 255);  // exactly every ceiling
  EXPECT_EQ(ComposeFrame(Same(101), kNoLeds), 0);    // just above every ceiling
  EXPECT_EQ(ComposeFrame(Same(54), kNoLeds), 31);    // just below LED 6's floor
  EXPECT_EQ(ComposeFrame(Same(55), kNoLeds), 63);
  EXPECT_EQ(ComposeFrame(LedValues{0, 9, 20, 29, 40, 101, 70, 84}, kNoLeds), 1 + 4 + 16 + 64);
}

TEST_F(LedUpdateTest, ComposeFrameHandlesExtremeAndInvertedWindows) {
  SetLedRange(0, INT32_MIN, INT32_MAX);
  SetLedRange(7, 90, 10);  // never lit
  LedValues values = Same(INT32_MIN);
  EXPECT_EQ(ComposeFrame(values, kNoLeds), 1);
  values = Same(INT32_MAX);
  EXPECT_EQ(ComposeFrame(values, kNoLeds), 1);
  values[7] = 50;
  EXPECT_EQ(ComposeFrame(values, kNoLeds), 1);
}

TEST_F(LedUpdateTest, DarkLedsInEachMode) {
  const struct {
    const char* what;
    int32_t interpolationLed;
    LedMask dark;
    std::vector<int32_t> bytes;
    int32_t lastSample;
  } rows[] = {
      // The values light all eight; LEDs 3 and 8 have none, though LED 3's
      // window spans every value (so no value could stand for "none").
      {"direct", kInterpolationOff, LedBit(2) | LedBit(7), {123}, 30},
      // LED 3's value drives every LED: none lights, from where the glide starts.
      {"interpolated on the dark LED", 2, LedBit(2), std::vector<int32_t>(8, 0), 30},
      // LED 1's value drives every LED, LED 3 included.
      {"interpolated on another LED", 0, LedBit(2), {15, 15, 31, 31, 63, 63, 127, 127}, 90},
  };
  SetLedRange(2, INT32_MIN, INT32_MAX);
  for (const auto& row : rows) {
    ResetMeterIoFakes();
    GlideLastSampleTo(30);
    ASSERT_EQ(SetMeterOptions(row.interpolationLed, 10), 0);
    fakes.allValues = {5, 15, 25, 35, 45, 60, 75, 90};
    fakes.oneValues = {90};
    fakes.darkLeds = row.dark;
    EXPECT_EQ(UpdateLeds(), 0) << row.what;
    EXPECT_EQ(fakes.writes, row.bytes) << row.what;
    EXPECT_EQ(fakes.waits.size(), row.bytes.size()) << row.what;
    EXPECT_EQ(LastSample(), row.lastSample) << row.what;
    if (row.interpolationLed == 2) {
      EXPECT_TRUE(fakes.sampleOneIndexes.empty()) << "a dark source was sampled";
    }
  }
}

TEST_F(LedUpdateTest, DirectCycleWritesOneByteThenWaitsTheDelay) {
  Direct(25);
  fakes.allValues = {5, 15, 25, 35, 45, 60, 75, 90};
  EXPECT_EQ(UpdateLeds(), 0);
  fakes.allValues = {0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(UpdateLeds(), 0);
  EXPECT_EQ(fakes.writes, (std::vector<int32_t>{255, 1}));
  EXPECT_EQ(fakes.waits, (std::vector<int32_t>{25, 25}));
  EXPECT_EQ(fakes.sampleAllCalls, 2);
  EXPECT_TRUE(fakes.sampleOneIndexes.empty());
  EXPECT_EQ(LastSample(), 0);
}

TEST_F(LedUpdateTest, DirectCycleFailures) {
  Direct();
  fakes.sampleAllStatus = 7;
  EXPECT_EQ(UpdateLeds(), 1);
  EXPECT_TRUE(fakes.writes.empty());
  EXPECT_TRUE(fakes.waits.empty());

  ResetMeterIoFakes();
  fakes.failWriteAt = 0;
  EXPECT_EQ(UpdateLeds(), 2);
  EXPECT_TRUE(fakes.waits.empty());
}

TEST_F(LedUpdateTest, LastFrameIsTheLastOneThatReachedThePort) {
  EXPECT_FALSE(LastMeterFrame().written);
  Direct();
  fakes.allValues = {5, 15, 25, 35, 45, 60, 75, 0};
  fakes.failWriteAt = 1;
  EXPECT_EQ(UpdateLeds(), 0);
  EXPECT_EQ(UpdateLeds(), 2);  // a failed write leaves the frame before it
  EXPECT_EQ(LastMeterFrame().byte, 127);
  EXPECT_EQ(LastMeterFrame().values, fakes.allValues);
  // Interpolated: every LED was compared with the last frame's value.
  Interpolated(3);
  fakes.oneValues = {100};
  EXPECT_EQ(UpdateLeds(), 0);
  EXPECT_EQ(LastMeterFrame().values, Same(84));
}

struct GlideCase {
  int32_t from, to;
  std::vector<int32_t> bytes;
};

TEST_F(LedUpdateTest, InterpolatedCycleGlidesInEightFrames) {
  // The default windows: floors 0, 10, ..., 85, ceilings 100.
  const GlideCase cases[] = {
      {0, 100, {1, 3, 7, 15, 31, 63, 127, 127}},    // frames 0, 12, ..., 84
      {50, 45, {31, 31, 31, 31, 31, 31, 31, 31}},   // step truncates to 0
      {0, -9, {1, 0, 0, 0, 0, 0, 0, 0}},            // frames 0, -1, ..., -7
      {100, 0, {255, 255, 127, 63, 31, 31, 7, 3}},  // 100, 88, ..., 16
  };
  for (const GlideCase& c : cases) {
    ResetMeterIoFakes();
    GlideLastSampleTo(c.from);
    Interpolated(2, 10);
    fakes.oneValues = {c.to};
    EXPECT_EQ(UpdateLeds(), 0) << c.from << " -> " << c.to;
    EXPECT_EQ(fakes.writes, c.bytes) << c.from << " -> " << c.to;
    EXPECT_EQ(fakes.waits, std::vector<int32_t>(8, 10));
    EXPECT_EQ(fakes.sampleOneIndexes, std::vector<int32_t>{2});
    EXPECT_EQ(fakes.sampleAllCalls, 0);
    EXPECT_EQ(LastSample(), c.to);
  }
}

TEST_F(LedUpdateTest, NextInterpolatedCycleStartsAtTheNewValue) {
  Interpolated(0);
  fakes.oneValues = {100, 100};
  EXPECT_EQ(UpdateLeds(), 0);
  EXPECT_EQ(UpdateLeds(), 0);
  const std::vector<int32_t> second(fakes.writes.begin() + 8, fakes.writes.end());
  EXPECT_EQ(second, std::vector<int32_t>(8, 255));
}

TEST_F(LedUpdateTest, InterpolatedFrameValuesStepExactly) {
  // One LED per frame value: LED k lights only at value 12 * k.
  for (int32_t k = 0; k < kLedCount; ++k) SetLedRange(k, 12 * k, 12 * k);
  Interpolated(5);
  fakes.oneValues = {100};
  EXPECT_EQ(UpdateLeds(), 0);
  EXPECT_EQ(fakes.writes, (std::vector<int32_t>{1, 2, 4, 8, 16, 32, 64, 128}));
}

TEST_F(LedUpdateTest, InterpolatedFailuresKeepLastSample) {
  Interpolated(0);
  GlideLastSampleTo(30);
  fakes.sampleOneStatus = 1;
  EXPECT_EQ(UpdateLeds(), 3);
  EXPECT_TRUE(fakes.writes.empty());
  EXPECT_EQ(LastSample(), 30);

  ResetMeterIoFakes();
  fakes.oneValues = {100};
  fakes.failWriteAt = 3;
  EXPECT_EQ(UpdateLeds(), 4);
  EXPECT_EQ(fakes.writes.size(), 4u);  // frames 0..2 stay on the LEDs, frame 3 failed
  EXPECT_EQ(fakes.waits.size(), 3u);   // no pause after the failed write
  EXPECT_EQ(LastSample(), 30);
}

TEST_F(LedUpdateTest, EndingOrPausingInAPauseCutsTheCycleShort) {
  // From 30 to 100 the glide steps by 8: frame k shows 30 + 8k.
  const struct {
    const char* what;
    int32_t interpolationLed;
    int32_t stopAtWait;
    WaitOutcome stopWith;
    size_t writes;
    int32_t lastSample;  // where the next glide starts
  } rows[] = {
      {"direct", kInterpolationOff, 0, kWaitEnding, 1, 30},
      {"interpolated, first frame", 4, 0, kWaitEnding, 1, 30},
      {"interpolated, sixth frame", 4, 5, kWaitEnding, 6, 30},
      {"interpolated, last frame", 4, 7, kWaitEnding, 8, 30},
      {"direct, paused", kInterpolationOff, 0, kWaitPaused, 1, 30},
      {"interpolated, paused at the first frame", 4, 0, kWaitPaused, 1, 30},
      {"interpolated, paused at the sixth frame", 4, 5, kWaitPaused, 6, 70},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ResetMeterIoFakes();
    ASSERT_EQ(SetMeterOptions(row.interpolationLed, 10), 0);
    GlideLastSampleTo(30);
    fakes.oneValues = {100, 100};
    fakes.stopAtWait = row.stopAtWait;
    fakes.stopWith = row.stopWith;
    EXPECT_EQ(UpdateLeds(), 0);
    EXPECT_EQ(fakes.writes.size(), row.writes);
    EXPECT_EQ(fakes.waits.size(), row.writes) << "no pause after the one that stopped";
    EXPECT_EQ(LastSample(), row.lastSample);
  }
  // After the pause the glide goes on from the frame last shown: 70 lights
  // LEDs 1 to 7 with the default windows.
  fakes.writes.clear();
  EXPECT_EQ(UpdateLeds(), 0);
  ASSERT_EQ(fakes.writes.size(), 8u);
  EXPECT_EQ(fakes.writes.front(), 127);
}

TEST_F(LedUpdateTest, ExtremeSamplesGlideWithoutOverflow) {
  // The sanitizers of the host build would stop on any signed overflow here.
  SetLedRange(0, INT32_MIN, -1);
  SetLedRange(1, 0, INT32_MAX);
  Interpolated(0);
  const struct {
    int32_t from, to, frame7;
  } cases[] = {
      {INT32_MIN, INT32_MAX, INT32_MIN + 7 * ((int64_t{INT32_MAX} - INT32_MIN) / 8)},
      {INT32_MAX, INT32_MIN, INT32_MAX + 7 * ((int64_t{INT32_MIN} - INT32_MAX) / 8)},
  };
  for (const auto& c : cases) {
    ResetMeterIoFakes();
    GlideLastSampleTo(c.from);
    fakes.oneValues = {c.to};
    ASSERT_EQ(UpdateLeds(), 0);
    ASSERT_EQ(fakes.writes.size(), 8u);
    EXPECT_EQ(fakes.writes.front(), c.from < 0 ? 1 : 2);
    EXPECT_EQ(fakes.writes.back(), c.frame7 < 0 ? 1 : 2);
    EXPECT_EQ(LastSample(), c.to);
  }
}

}  // namespace
