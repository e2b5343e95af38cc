// The notification icon's picture of the LED byte, at the sizes the system
// asks for: every LED's segment in its place, lit exactly when its bit is set.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/led_icon.h"

namespace {

constexpr int kSizes[] = {16, 20, 24, 32, 48};

IconPixel At(const std::vector<IconPixel>& pixels, int size, int x, int y) {
  return pixels[static_cast<size_t>(y * size + x)];
}

TEST(LedIconTest, SegmentsStackInLedOrderWithAGapBetweenAndFitThePicture) {
  for (const int size : kSizes) {
    SCOPED_TRACE(size);
    int above = -1;  // the last row of the segment above
    for (int32_t i = 7; i >= 0; --i) {
      const IconSegment segment = LedSegment(i, size);
      EXPECT_GE(segment.height, size / 16) << "LED index " << i;
      EXPECT_GT(segment.top, above + (above < 0 ? 0 : 1)) << "no gap above LED index " << i;
      above = segment.top + segment.height - 1;
    }
    EXPECT_LT(above, size);
  }
}

TEST(LedIconTest, EachSegmentIsLitExactlyWhenItsBitIsSet) {
  for (const int size : kSizes) {
    for (const int byte : {0x00, 0xFF, 0x01, 0x80, 0xA5, 0x5A}) {
      SCOPED_TRACE(testing::Message() << size << " pixels, byte " << byte);
      const std::vector<IconPixel> pixels = DrawLedIcon(static_cast<uint8_t>(byte), false, size);
      ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
      std::set<int> segmentRows;
      for (int32_t i = 0; i < 8; ++i) {
        const IconPixel want = (byte >> i) & 1 ? IconPixel::kLit : IconPixel::kDark;
        const IconSegment segment = LedSegment(i, size);
        for (int y = segment.top; y < segment.top + segment.height; ++y) {
          segmentRows.insert(y);
          // Clear at both edges, the segment's colour across the middle.
          EXPECT_EQ(At(pixels, size, 0, y), IconPixel::kClear);
          EXPECT_EQ(At(pixels, size, size - 1, y), IconPixel::kClear);
          for (int x = size / 16 + 1; x < size - size / 16 - 1; ++x) ASSERT_EQ(At(pixels, size, x, y), want) << x;
        }
      }
      for (int y = 0; y < size; ++y) {
        if (segmentRows.count(y) != 0) continue;
        for (int x = 0; x < size; ++x) ASSERT_EQ(At(pixels, size, x, y), IconPixel::kClear) << x << "," << y;
      }
    }
  }
}

TEST(LedIconTest, PausedGreysEverySegmentUnderAPauseMark) {
  for (const int size : kSizes) {
    SCOPED_TRACE(size);
    const std::vector<IconPixel> running = DrawLedIcon(0x0F, false, size);
    const std::vector<IconPixel> paused = DrawLedIcon(0x0F, true, size);
    int marks = 0;
    for (size_t k = 0; k < paused.size(); ++k) {
      EXPECT_NE(paused[k], IconPixel::kLit);
      EXPECT_NE(paused[k], IconPixel::kDark);
      EXPECT_NE(running[k], IconPixel::kPauseMark);
      if (paused[k] == IconPixel::kPauseMark) ++marks;
      // Beside the mark the same segments show, greyed.
      if (running[k] == IconPixel::kLit && paused[k] != IconPixel::kPauseMark && paused[k] != IconPixel::kPauseRim) {
        EXPECT_EQ(paused[k], IconPixel::kPausedLit);
      }
    }
    // Two bars, each at least two pixels wide and half the height.
    EXPECT_GE(marks, 2 * 2 * (size / 2));
    EXPECT_NE(At(paused, size, size / 2, size / 2), IconPixel::kPauseMark) << "the bars stand apart";
  }
}

}  // namespace
