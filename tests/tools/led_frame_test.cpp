// The viewer's frame, shown for a parallel port: LED order and marks, the
// registers, the age of the last write, and how it fits a small terminal.
#include "tools/ledview/led_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/ledview/parallel_frame.h"

namespace {

ParallelState State(uint8_t data, uint8_t control) { return ParallelState{0, 0x378, data, control, true, 12}; }

// The frame of a live view of the port.
std::vector<FrameLine> Render(const ParallelState& state, int columns, int rows, bool live = true) {
  LedFrame frame = ParallelFrame(state);
  frame.live = live;
  return RenderFrame(frame, columns, rows);
}

// The LEDs as the frame shows them, left to right: '1' lit, '0' dark,
// checking on the way that each mark's shape matches its style.
std::string LedsShown(const std::vector<FrameLine>& frame) {
  std::string shown;
  for (const FrameLine& line : frame) {
    for (const FrameSpan& span : line) {
      if (span.style == kStyleLit) {
        EXPECT_TRUE(span.text == kLitMark || span.text == "#") << span.text;
        shown += '1';
      } else if (span.style == kStyleDark) {
        EXPECT_TRUE(span.text == kDarkMark || span.text == ".") << span.text;
        shown += '0';
      }
    }
  }
  return shown;
}

std::string Text(const FrameLine& line) { return FrameText({line}); }

// The first line holding needle, or "" when none does.
std::string LineWith(const std::vector<FrameLine>& frame, const std::string& needle) {
  for (const FrameLine& line : frame) {
    const std::string text = Text(line);
    if (text.find(needle) != std::string::npos) return text;
  }
  return "";
}

TEST(LedFrameTest, LedEightIsLeftmostAndLitDiffersFromDarkInShape) {
  const struct {
    uint8_t data;
    const char* shown;
  } rows[] = {
      {0x00, "00000000"}, {0xFF, "11111111"}, {0x01, "00000001"},
      {0x80, "10000000"}, {0xA5, "10100101"}, {0x0F, "00001111"},
  };
  for (const int columns : {79, 43, 42, 24, 23, 8}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::Message() << "columns " << columns << " data " << int{row.data});
      const std::vector<FrameLine> frame = Render(State(row.data, 0xCB), columns, 40);
      EXPECT_EQ(LedsShown(frame), row.shown);
      // The numbers above the marks run the same way.
      std::string digits;
      for (const char c : Text(frame[2])) {
        if (c >= '1' && c <= '8') digits += c;
      }
      EXPECT_EQ(digits, "87654321");
    }
  }
}

TEST(LedFrameTest, WideFrameReadsAsTheDialogOrdersItsRows) {
  ParallelState state = State(0xA5, 0xCB);
  state.writeAgeMs = 37;
  EXPECT_EQ(FrameText(Render(state, 79, 40)),
            "Pipstack LEDs on LPT1 (0x378)\n"
            "\n"
            "LED   8    7    6    5    4    3    2    1 \n"
            "     (#)  ( )  (#)  ( )  ( )  (#)  ( )  (#)\n"
            "\n"
            "data     0xA5  1010 0101\n"
            "control  0xCB  1100 1011\n"
            "last data write  37 ms ago\n"
            "\n"
            "Ctrl+C quits\n");
}

TEST(LedFrameTest, RegistersInHexAndBinary) {
  const struct {
    uint8_t data;
    uint8_t control;
    const char* dataText;
    const char* controlText;
  } rows[] = {
      {0x00, 0xC0, "data     0x00  0000 0000", "control  0xC0  1100 0000"},
      {0xFF, 0xCB, "data     0xFF  1111 1111", "control  0xCB  1100 1011"},
      {0x80, 0xFF, "data     0x80  1000 0000", "control  0xFF  1111 1111"},
  };
  for (const auto& row : rows) {
    const std::vector<FrameLine> frame = Render(State(row.data, row.control), 79, 40);
    EXPECT_EQ(LineWith(frame, "data "), std::string(row.dataText) + "\n");
    EXPECT_EQ(LineWith(frame, "control "), std::string(row.controlText) + "\n");
    // The narrow form keeps both numbers.
    const std::vector<FrameLine> narrow = Render(State(row.data, row.control), 20, 40);
    EXPECT_NE(LineWith(narrow, "D ").find(std::string(row.dataText).substr(9, 4)), std::string::npos);
    EXPECT_NE(LineWith(narrow, "C ").find(std::string(row.controlText).substr(9, 4)), std::string::npos);
  }
}

TEST(LedFrameTest, LastWriteTellsItsAgeOrThatThereWasNone) {
  const struct {
    bool written;
    int64_t ageMs;
    const char* text;
  } rows[] = {
      {true, 0, "last data write  0 ms ago\n"},
      {true, 2500, "last data write  2.5 s ago\n"},
      {false, 0, "last data write  none seen\n"},
      {false, 2500, "last data write  none seen\n"},
  };
  for (const auto& row : rows) {
    ParallelState state = State(0, 0xC0);
    state.written = row.written;
    state.writeAgeMs = row.ageMs;
    EXPECT_EQ(LineWith(Render(state, 79, 40), "last data write"), row.text);
  }
}

TEST(LedFrameTest, TitleNamesThePortAndItsAddress) {
  ParallelState state = State(0, 0xC0);
  state.portIndex = 1;
  state.base = 0x278;
  EXPECT_EQ(Text(Render(state, 79, 40)[0]), "Pipstack LEDs on LPT2 (0x278)\n");
  EXPECT_EQ(Text(Render(state, 12, 40)[0]), "LPT2 0x278\n");
}

TEST(LedFrameTest, APortTheBiosDoesNotListIsNamedByItsAddress) {
  ParallelState state = State(0, 0xC0);
  state.portIndex = 2;
  state.base = 0xD010;
  EXPECT_EQ(Text(Render(state, 79, 40)[0]), "Pipstack LEDs at 0xD010\n");
  EXPECT_EQ(Text(Render(state, 12, 40)[0]), "0xD010\n");
}

TEST(LedFrameTest, NoLineIsWiderThanTheTerminal) {
  for (int columns = 1; columns <= 80; ++columns) {
    const std::vector<FrameLine> frame = Render(State(0xA5, 0xCB), columns, 40);
    for (const FrameLine& line : frame) {
      EXPECT_LE(LineWidth(line), columns) << Text(line);
    }
    // Every LED stays visible down to one character each.
    if (columns >= 8) {
      EXPECT_EQ(LedsShown(frame), "10100101") << columns;
    }
  }
}

TEST(LedFrameTest, AShortTerminalKeepsTheLedsFirst) {
  const struct {
    int rows;
    bool live;
    std::vector<std::string> starts;  // how each line kept begins
  } rows[] = {
      {0, true, {}},
      {1, true, {"     (#)"}},
      {2, true, {"LED", "     (#)"}},
      {5, true, {"LED", "     (#)", "data", "control", "last"}},
      {7, true, {"Pipstack", "LED", "     (#)", "data", "control", "last", "Ctrl"}},
      {40, false, {"Pipstack", "", "LED", "     (#)", "", "data", "control", "last"}},
  };
  for (const auto& row : rows) {
    const std::vector<FrameLine> frame = Render(State(0x80, 0xCB), 79, row.rows, row.live);
    ASSERT_EQ(frame.size(), row.starts.size()) << row.rows;
    for (size_t i = 0; i < frame.size(); ++i) {
      EXPECT_EQ(Text(frame[i]).rfind(row.starts[i], 0), 0u) << row.rows << ": " << Text(frame[i]);
    }
  }
}

}  // namespace
