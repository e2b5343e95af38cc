// Lays out the viewer's frame: title, the eight LEDs (LED 8 at the left, as
// the configuration dialog lists them from the top) and the details below,
// in one of three widths.
#include "tools/ledview/led_frame.h"

#include <array>
#include <cstdio>

namespace {

constexpr int kLedCount = 8;

// Full layout: a "LED  " label, then a mark per LED, two spaces apart.
constexpr char kLedLabel[] = "LED  ";
constexpr int kWideColumns = 5 + kLedCount * 3 + (kLedCount - 1) * 2;  // 43
// Compact: the marks side by side. Below that one character per LED.
constexpr int kCompactColumns = kLedCount * 3;  // 24
// Below this the details lose their labels.
constexpr int kLabelledColumns = 26;

// Which lines survive a short terminal: the lower rank goes first. The
// details rank after the LEDs, in their order, and before the title.
constexpr int kMarksRank = 0;
constexpr int kNumbersRank = 1;
constexpr int kFirstDetailRank = 2;

struct RankedLine {
  FrameLine line;
  int rank;
};

bool Lit(uint8_t leds, int ledNumber) { return (leds >> (ledNumber - 1) & 1) != 0; }

void LedLines(uint8_t leds, int columns, std::vector<RankedLine>* lines) {
  FrameLine numbers;
  FrameLine marks;
  const bool wide = columns >= kWideColumns;
  const bool compact = !wide && columns >= kCompactColumns;
  if (wide) {
    numbers.push_back({kLedLabel, kStyleQuiet});
    marks.push_back({std::string(sizeof kLedLabel - 1, ' '), kStyleText});
  }
  for (int led = kLedCount; led >= 1; --led) {
    const bool lit = Lit(leds, led);
    const std::string digit = std::to_string(led);
    if (wide || compact) {
      const std::string gap = wide && led > 1 ? "  " : "";
      numbers.push_back({" " + digit + " " + gap, kStyleQuiet});
      marks.push_back({lit ? kLitMark : kDarkMark, lit ? kStyleLit : kStyleDark});
      if (!gap.empty()) marks.push_back({gap, kStyleText});
    } else {
      numbers.push_back({digit, kStyleQuiet});
      marks.push_back({lit ? "#" : ".", lit ? kStyleLit : kStyleDark});
    }
  }
  lines->push_back({numbers, kNumbersRank});
  lines->push_back({marks, kMarksRank});
}

std::vector<RankedLine> AllLines(const LedFrame& frame, int columns) {
  const int details = static_cast<int>(frame.details.size());
  const int titleRank = kFirstDetailRank + details;
  const int hintRank = titleRank + 1;
  const int spacingRank = hintRank + 1;
  std::vector<RankedLine> lines;
  lines.push_back({{{columns >= kCompactColumns ? frame.title : frame.shortTitle, kStyleTitle}}, titleRank});
  lines.push_back({{}, spacingRank});
  if (frame.hasLeds) {
    LedLines(frame.leds, columns, &lines);
    lines.push_back({{}, spacingRank});
  }
  const bool labelled = columns >= kLabelledColumns;
  for (int i = 0; i < details; ++i) {
    const FrameDetail& detail = frame.details[static_cast<size_t>(i)];
    FrameLine line;
    const std::string& label = labelled ? detail.label : detail.shortLabel;
    if (!label.empty()) line.push_back({label, kStyleQuiet});
    line.push_back({labelled ? detail.value : detail.shortValue, kStyleText});
    lines.push_back({line, kFirstDetailRank + i});
  }
  if (frame.live) {
    lines.push_back({{}, spacingRank});
    lines.push_back({{{"Ctrl+C quits", kStyleQuiet}}, hintRank});
  }
  return lines;
}

FrameLine Clip(const FrameLine& line, int columns) {
  FrameLine clipped;
  int room = columns;
  for (const FrameSpan& span : line) {
    if (room <= 0) break;
    const int length = static_cast<int>(span.text.size());
    clipped.push_back({span.text.substr(0, static_cast<size_t>(length < room ? length : room)), span.style});
    room -= length;
  }
  return clipped;
}

}  // namespace

std::vector<FrameLine> RenderFrame(const LedFrame& frame, int columns, int rows) {
  const std::vector<RankedLine> lines = AllLines(frame, columns);
  std::vector<FrameLine> rendered;
  for (size_t i = 0; i < lines.size(); ++i) {
    // A line stays when fewer than rows lines go before it: those of a
    // lower rank, and those of its own rank that come earlier.
    int ahead = 0;
    for (size_t j = 0; j < lines.size(); ++j) {
      const bool before = lines[j].rank < lines[i].rank || (lines[j].rank == lines[i].rank && j < i);
      if (before) ++ahead;
    }
    if (ahead < rows) rendered.push_back(Clip(lines[i].line, columns));
  }
  return rendered;
}

std::string FrameText(const std::vector<FrameLine>& frame) {
  std::string text;
  for (const FrameLine& line : frame) {
    for (const FrameSpan& span : line) text += span.text;
    text += '\n';
  }
  return text;
}

int LineWidth(const FrameLine& line) {
  int width = 0;
  for (const FrameSpan& span : line) width += static_cast<int>(span.text.size());
  return width;
}

std::string HexByte(uint8_t byte) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%02X", static_cast<unsigned>(byte));
  return text.data();
}

std::string BinaryByte(uint8_t byte, bool split) {
  std::string text;
  for (int bit = 7; bit >= 0; --bit) {
    text += (byte >> bit & 1) != 0 ? '1' : '0';
    if (split && bit == 4) text += ' ';
  }
  return text;
}
