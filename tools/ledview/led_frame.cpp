// Lays out the viewer's frame: title, the eight LEDs (LED 8 at the left, as
// the configuration dialog lists them from the top), the registers and the
// age of the last write, in one of three widths.
#include "tools/ledview/led_frame.h"

#include <array>
#include <cstdio>

#include "emulation/winio/virtual_machine.h"
#include "tools/ledview/write_age.h"

namespace {

constexpr int kLedCount = 8;

// Full layout: a "LED  " label, then a mark per LED, two spaces apart.
constexpr char kLedLabel[] = "LED  ";
constexpr int kWideColumns = 5 + kLedCount * 3 + (kLedCount - 1) * 2;  // 43
// Compact: the marks side by side. Below that one character per LED.
constexpr int kCompactColumns = kLedCount * 3;  // 24
// Below this the register lines lose their labels.
constexpr int kLabelledColumns = 26;

// Which lines survive a short terminal: lower goes first.
enum Priority { kMarks, kNumbers, kData, kControl, kAge, kTitle, kHint, kSpacing };

struct RankedLine {
  FrameLine line;
  Priority priority;
};

std::string Hex(uint8_t byte) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%02X", static_cast<unsigned>(byte));
  return text.data();
}

// Bit 7 first, so the digits line up with LED 8 at the left.
std::string Binary(uint8_t byte, bool split) {
  std::string text;
  for (int bit = 7; bit >= 0; --bit) {
    text += (byte >> bit & 1) != 0 ? '1' : '0';
    if (split && bit == 4) text += ' ';
  }
  return text;
}

// The port's name where the BIOS lists it ("LPT1"); empty for a port it does
// not list, such as a plug-in card, which is known by its address alone.
std::string PortName(uint16_t base) {
  for (int i = 0; i < kBiosParallelPortWords; ++i) {
    if (base != 0 && kPowerOnBiosPortWords[i] == base) return "LPT" + std::to_string(i + 1);
  }
  return "";
}

bool Lit(uint8_t data, int ledNumber) { return (data >> (ledNumber - 1) & 1) != 0; }

void LedLines(uint8_t data, int columns, std::vector<RankedLine>* lines) {
  FrameLine numbers;
  FrameLine marks;
  const bool wide = columns >= kWideColumns;
  const bool compact = !wide && columns >= kCompactColumns;
  if (wide) {
    numbers.push_back({kLedLabel, kStyleQuiet});
    marks.push_back({std::string(sizeof kLedLabel - 1, ' '), kStyleText});
  }
  for (int led = kLedCount; led >= 1; --led) {
    const bool lit = Lit(data, led);
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
  lines->push_back({numbers, kNumbers});
  lines->push_back({marks, kMarks});
}

void RegisterLines(const FrameState& state, int columns, std::vector<RankedLine>* lines) {
  const bool labelled = columns >= kLabelledColumns;
  const std::string age = state.written ? FormatAge(state.writeAgeMs) : "none seen";
  if (labelled) {
    lines->push_back(
        {{{"data     ", kStyleQuiet}, {Hex(state.data) + "  " + Binary(state.data, true), kStyleText}}, kData});
    lines->push_back(
        {{{"control  ", kStyleQuiet}, {Hex(state.control) + "  " + Binary(state.control, true), kStyleText}},
         kControl});
    lines->push_back({{{"last data write  ", kStyleQuiet}, {age, kStyleText}}, kAge});
  } else {
    lines->push_back({{{"D ", kStyleQuiet}, {Hex(state.data) + " " + Binary(state.data, false), kStyleText}}, kData});
    lines->push_back(
        {{{"C ", kStyleQuiet}, {Hex(state.control) + " " + Binary(state.control, false), kStyleText}}, kControl});
    lines->push_back({{{"W ", kStyleQuiet}, {age, kStyleText}}, kAge});
  }
}

std::vector<RankedLine> AllLines(const FrameState& state, int columns) {
  std::vector<RankedLine> lines;
  const std::string port = PortName(state.base);
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%X", static_cast<unsigned>(state.base));
  const std::string base = text.data();
  const bool wide = columns >= kCompactColumns;
  std::string title;
  if (port.empty()) {
    title = wide ? "Pipstack LEDs at " + base : base;
  } else {
    title = wide ? "Pipstack LEDs on " + port + " (" + base + ")" : port + " " + base;
  }
  lines.push_back({{{title, kStyleTitle}}, kTitle});
  lines.push_back({{}, kSpacing});
  LedLines(state.data, columns, &lines);
  lines.push_back({{}, kSpacing});
  RegisterLines(state, columns, &lines);
  if (state.live) {
    lines.push_back({{}, kSpacing});
    lines.push_back({{{"Ctrl+C quits", kStyleQuiet}}, kHint});
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

std::vector<FrameLine> RenderFrame(const FrameState& state, int columns, int rows) {
  const std::vector<RankedLine> lines = AllLines(state, columns);
  std::vector<FrameLine> frame;
  for (size_t i = 0; i < lines.size(); ++i) {
    // A line stays when fewer than rows lines go before it: those of a
    // lower priority, and those of its own priority that come earlier.
    int ahead = 0;
    for (size_t j = 0; j < lines.size(); ++j) {
      const bool before = lines[j].priority < lines[i].priority || (lines[j].priority == lines[i].priority && j < i);
      if (before) ++ahead;
    }
    if (ahead < rows) frame.push_back(Clip(lines[i].line, columns));
  }
  return frame;
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
