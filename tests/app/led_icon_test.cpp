// The notification icon's picture of the LED byte, at the sizes the system
// asks for: every LED's segment in its place, lit exactly when its bit is set.
#include <gtest/gtest.h>

#include <vector>

#include "app/led_icon.h"

namespace {

constexpr int kSizes[] = {16, 20, 24, 32, 48};

TEST(LedIconTest, SegmentsStackUpFromLedOneEachLitExactlyWhenItsBitIsSet) {
  for (const int size : kSizes) {
    for (const int byte : {0x00, 0xFF, 0x01, 0x80, 0xA5}) {
      SCOPED_TRACE(testing::Message() << size << " pixels, byte " << byte);
      const std::vector<IconPixel> pixels = DrawLedIcon(static_cast<uint8_t>(byte), false, size);
      ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
      // Row by row from the bottom: a clear gap, then each LED's rows in turn.
      std::vector<IconPixel> expected(static_cast<size_t>(size), IconPixel::kClear);
      int below = size;  // the first row of the segment below
      for (int32_t i = 0; i < 8; ++i) {
        const IconSegment segment = LedSegment(i, size);
        ASSERT_GE(segment.height, 1);
        ASSERT_LT(segment.top + segment.height, below) << "no gap below LED index " << i;
        below = segment.top;
        for (int y = segment.top; y < segment.top + segment.height; ++y) {
          expected[static_cast<size_t>(y)] = (byte >> i) & 1 ? IconPixel::kLit : IconPixel::kDark;
        }
      }
      for (int y = 0; y < size; ++y) {
        const IconPixel row = expected[static_cast<size_t>(y)];
        EXPECT_EQ(pixels[static_cast<size_t>(y * size)], IconPixel::kClear) << y;
        EXPECT_EQ(pixels[static_cast<size_t>(y * size + size / 2)], row) << y;
      }
    }
  }
}

TEST(LedIconTest, PausedGreysTheSegmentsUnderAPauseMark) {
  for (const int size : kSizes) {
    SCOPED_TRACE(size);
    const std::vector<IconPixel> running = DrawLedIcon(0x0F, false, size);
    const std::vector<IconPixel> paused = DrawLedIcon(0x0F, true, size);
    int marks = 0;
    for (size_t k = 0; k < paused.size(); ++k) {
      EXPECT_NE(running[k], IconPixel::kPauseMark);
      marks += paused[k] == IconPixel::kPauseMark;
      // Beside the mark the same segments show, greyed.
      const IconPixel greyed = running[k] == IconPixel::kLit    ? IconPixel::kPausedLit
                               : running[k] == IconPixel::kDark ? IconPixel::kPausedDark
                                                                : IconPixel::kClear;
      if (paused[k] != IconPixel::kPauseMark && paused[k] != IconPixel::kPauseRim) {
        EXPECT_EQ(paused[k], greyed) << k;
      }
    }
    EXPECT_GE(marks, 2 * 2 * (size / 2)) << "two bars, each two pixels wide and half as high";
  }
}

}  // namespace
