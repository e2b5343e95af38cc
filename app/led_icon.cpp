// Drawing the LED byte as eight stacked segments, and the pause mark over them.
#include "app/led_icon.h"

#include <algorithm>

namespace {

constexpr int kSegments = 8;

// The segments keep this much of the width clear on each side.
int SideMargin(int size) { return std::max(1, size / 16); }

void Fill(std::vector<IconPixel>* pixels, int size, int left, int top, int width, int height, IconPixel pixel) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) (*pixels)[static_cast<size_t>(y * size + x)] = pixel;
  }
}

// Two upright bars in the middle, each with a one-pixel rim.
void DrawPauseMark(std::vector<IconPixel>* pixels, int size) {
  const int bar = std::max(2, size / 8);
  const int left = (size - 3 * bar) / 2;
  const int top = size / 4;
  const int height = size / 2;
  for (const int x : {left, left + 2 * bar}) {
    Fill(pixels, size, x - 1, top - 1, bar + 2, height + 2, IconPixel::kPauseRim);
    Fill(pixels, size, x, top, bar, height, IconPixel::kPauseMark);
  }
}

}  // namespace

// The height divides into eight equal pitches, the rest split above and
// below; each pitch is a segment over a gap of a quarter of it (at least a
// pixel), so that 16 pixels give segments of one pixel with one between.
IconSegment LedSegment(int32_t index, int size) {
  const int pitch = size / kSegments;
  const int margin = (size - kSegments * pitch) / 2;
  const int gap = pitch >= 2 ? std::max(1, pitch / 4) : 0;
  const int slot = kSegments - 1 - index;  // LED 8 at the top
  return IconSegment{margin + slot * pitch, pitch - gap};
}

std::vector<IconPixel> DrawLedIcon(uint8_t byte, bool paused, int size) {
  std::vector<IconPixel> pixels(static_cast<size_t>(size * size), IconPixel::kClear);
  const int side = SideMargin(size);
  for (int32_t i = 0; i < kSegments; ++i) {
    const bool lit = (byte >> i) & 1;
    const IconPixel pixel =
        paused ? (lit ? IconPixel::kPausedLit : IconPixel::kPausedDark) : (lit ? IconPixel::kLit : IconPixel::kDark);
    const IconSegment segment = LedSegment(i, size);
    Fill(&pixels, size, side, segment.top, size - 2 * side, segment.height, pixel);
  }
  if (paused) DrawPauseMark(&pixels, size);
  return pixels;
}
