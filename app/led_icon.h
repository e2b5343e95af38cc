// The notification icon's picture of the LED byte: eight segments stacked in
// LED order, LED 1 at the bottom as in the configuration dialog, each lit or
// dark; while the meter pauses, greyed under a pause mark. Platform-free, so
// that the picture is tested natively; the platform side makes it an icon.
#pragma once

#include <cstdint>
#include <vector>

enum class IconPixel : uint8_t {
  kClear,       // transparent
  kLit,         // a lit LED's segment
  kDark,        // a dark LED's segment
  kPausedLit,   // a lit segment while paused
  kPausedDark,  // a dark segment while paused
  kPauseMark,   // the two bars of the pause mark
  kPauseRim,    // their outline, so that they stand out on any segment
};

// Rows of one LED's segment in a picture of size × size pixels.
struct IconSegment {
  int top;
  int height;
};
IconSegment LedSegment(int32_t index, int size);

// The picture of the byte (bit i set: LED i + 1 lit), row by row from the
// top, size × size pixels; legible from 16 × 16 up.
std::vector<IconPixel> DrawLedIcon(uint8_t byte, bool paused, int size);
