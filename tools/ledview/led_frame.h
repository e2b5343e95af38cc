// One frame of the LED viewer as styled text lines, made from a snapshot of a
// port's registers and sized to the terminal. Platform-free: the console code
// only paints what this returns.
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

struct FrameState {
  int portIndex;       // of the emulated ports: 0 is LPT1
  uint16_t base;       // the port's base address, which names it: LPTn where the BIOS lists it
  uint8_t data;        // data register: bit n-1 drives LED n
  uint8_t control;     // control register as read
  bool written;        // a data write has been seen in the journal
  int64_t writeAgeMs;  // how long ago the last one was, when written
  bool live;           // a refreshing view (it tells how to leave)
};

// The marks of a lit and a dark LED; they differ in shape, not only colour.
constexpr char kLitMark[] = "(#)";
constexpr char kDarkMark[] = "( )";

// The frame for a terminal of columns x rows: no line is wider than columns,
// and there are at most rows lines, the LEDs kept before anything else.
std::vector<FrameLine> RenderFrame(const FrameState& state, int columns, int rows);

// The frame as plain text, each line ended by a newline.
std::string FrameText(const std::vector<FrameLine>& frame);
// The length of a line in characters.
int LineWidth(const FrameLine& line);
