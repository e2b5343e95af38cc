// One frame of the LED viewer as styled text lines, sized to the terminal:
// a title, the row of eight LEDs and lines of detail below, the same for
// every kind of output. Platform-free: the console code only paints what
// this returns, and each output's frame is made from its state by its own
// builder (parallel_frame.h, ftdi_frame.h, board_frame.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum FrameStyle : uint8_t {
  kStyleText,
  kStyleTitle,
  kStyleLit,    // an LED that is on
  kStyleDark,   // an LED that is off
  kStyleQuiet,  // hints and labels that matter less
};

struct FrameSpan {
  std::string text;
  FrameStyle style;
};

inline bool operator==(const FrameSpan& a, const FrameSpan& b) { return a.style == b.style && a.text == b.text; }
inline bool operator!=(const FrameSpan& a, const FrameSpan& b) { return !(a == b); }

using FrameLine = std::vector<FrameSpan>;

// A line below the LEDs: a label and its value, in full and in the narrow
// form a small terminal gets.
struct FrameDetail {
  std::string label;  // "data     "
  std::string value;  // "0xA5  1010 0101"
  std::string shortLabel;
  std::string shortValue;
};

struct LedFrame {
  std::string title;       // where the terminal is as wide as the compact LED row
  std::string shortTitle;  // below that
  bool hasLeds;            // false when there are no LEDs to show
  uint8_t leds;            // bit n-1 lights LED n
  // Kept in this order as the terminal gets shorter, after the LEDs and
  // before the title.
  std::vector<FrameDetail> details;
  bool live;  // a refreshing view (it tells how to leave)
};

// The marks of a lit and a dark LED; they differ in shape, not only colour.
constexpr char kLitMark[] = "(#)";
constexpr char kDarkMark[] = "( )";

// The frame for a terminal of columns x rows: no line is wider than columns,
// and there are at most rows lines, the LEDs kept before anything else.
std::vector<FrameLine> RenderFrame(const LedFrame& frame, int columns, int rows);

// The frame as plain text, each line ended by a newline.
std::string FrameText(const std::vector<FrameLine>& frame);
// The length of a line in characters.
int LineWidth(const FrameLine& line);

// A byte as the details write it: "0xA5", and "1010 0101" (split) or
// "10100101", bit 7 first so that the digits line up with LED 8 at the left.
std::string HexByte(uint8_t byte);
std::string BinaryByte(uint8_t byte, bool split);
