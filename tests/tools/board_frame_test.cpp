// The simulated board's frame and the reading of its LED journal: the last
// complete line, Wine's path to it, and the clock its times are on.
#include "tools/ledview/board_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/ledview/board_journal.h"

namespace {

TEST(BoardJournalTest, TheLastCompleteLineIsTheLedsNow) {
  const struct {
    const char* text;
    bool startsAtLine;
    bool found;
    int64_t timeMs;
    uint8_t leds;
  } rows[] = {
      {"1700000000000 15\n", true, true, 1700000000000, 0x15},
      {"1 01\n2 a5\n", true, true, 2, 0xA5},
      {"1 01\n2 A5", true, true, 1, 0x01},  // the board is still writing the second
      {"1 01\n2 zz\n", true, true, 1, 0x01},
      {"9 ff\r\n", true, true, 9, 0xFF},
      {"0 00\n\n", true, true, 0, 0x00},
      {"99 7f\n3 01\n", false, true, 3, 0x01},  // a tail: its first line is cut
      {"5 0a\n6 0b\n", false, true, 6, 0x0B},
      {"99 7f\n", false, false, 0, 0},
      {"99 7f\n3 0", false, false, 0, 0},
      {"", true, false, 0, 0},
      {"1 01", true, false, 0, 0},
      {"1 1\n", true, false, 0, 0},
      {"1 123\n", true, false, 0, 0},
      {" 12\n", true, false, 0, 0},
      {"1  12\n", true, false, 0, 0},
      {"x1 12\n", true, false, 0, 0},
      {"-1 12\n", true, false, 0, 0},
      {"1234567890123456789 12\n", true, false, 0, 0},  // beyond 64 bits of milliseconds
      {"123456789012345678 12\n", true, true, 123456789012345678, 0x12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << '"' << row.text << "\" at a line " << row.startsAtLine);
    const BoardLedLine line = LastBoardLedLine(row.text, row.startsAtLine);
    EXPECT_EQ(line.found, row.found);
    if (row.found) {
      EXPECT_EQ(line.timeMs, row.timeMs);
      EXPECT_EQ(line.leds, row.leds);
    }
  }
}

TEST(BoardJournalTest, TheJournalIsBesideTheMappedPathOnTheZDrive) {
  EXPECT_EQ(BoardJournalPath("/tmp/pipstack-board/com7"), "Z:\\tmp\\pipstack-board\\com7.leds");
  EXPECT_EQ(BoardJournalPath("/dev/pts/3"), "Z:\\dev\\pts\\3.leds");
}

TEST(BoardJournalTest, FileTimesBecomeUnixMilliseconds) {
  constexpr uint64_t kUnixEpoch = 116444736000000000u;  // 1970-01-01 in 100 ns steps since 1601
  const struct {
    uint64_t fileTime;
    int64_t ms;
  } rows[] = {
      {kUnixEpoch, 0},         {kUnixEpoch + 9999, 0},
      {kUnixEpoch + 10000, 1}, {kUnixEpoch + 1704067200000u * 10000, 1704067200000},  // 2024-01-01
      {kUnixEpoch - 1, 0},     {0, 0},
  };
  for (const auto& row : rows) EXPECT_EQ(FileTimeToUnixMs(row.fileTime), row.ms) << row.fileTime;
}

TEST(BoardFrameTest, ARunningBoardShowsItsLedsAndTheirAge) {
  const BoardState state{7, true, "/tmp/board/com7.leds", true, true, 0x15, 2500};
  EXPECT_EQ(FrameText(RenderFrame(BoardFrame(state), 79, 40)),
            "Pipstack LED controller on COM7 (simulated board)\n"
            "\n"
            "LED   8    7    6    5    4    3    2    1 \n"
            "     ( )  ( )  ( )  (#)  ( )  (#)  ( )  (#)\n"
            "\n"
            "LEDs     0x15  0001 0101\n"
            "last change  2.5 s ago\n"
            "journal  /tmp/board/com7.leds\n");
  // A small terminal keeps the LEDs, then the details in their order.
  EXPECT_EQ(FrameText(RenderFrame(BoardFrame(state), 20, 4)),
            "87654321\n"
            "...#.#.#\n"
            "L 0x15 00010101\n"
            "W 2.5 s ago\n");
}

// A journal without a complete line: the board has started, and no LED
// row is shown until it says what its LEDs are. (No journal and no mapping
// are read end to end by the process test.)
TEST(BoardFrameTest, ABoardThatShowedNoLedsYetHasNoLedRow) {
  const BoardState state{7, true, "/tmp/board/com7.leds", true, false, 0, 0};
  EXPECT_EQ(FrameText(RenderFrame(BoardFrame(state), 79, 40)),
            "Pipstack LED controller on COM7 (simulated board)\n\nthe board on COM7 has shown no LEDs yet\n"
            "journal  /tmp/board/com7.leds\n");
}

}  // namespace
