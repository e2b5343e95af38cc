// Numbers another tool stored in a shape of its own: none of them keeps the
// meter from starting, and Quit stores each as the DWORD the program reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/e2e/program_fixture.h"

namespace {

TEST_F(ProgramTest, NumbersOfAnotherSizeOrTypeAreReplacedAndBigEndianOnesRead) {
  const uint8_t eight[8] = {10, 0, 0, 0, 0, 0, 0, 0};
  const uint8_t bigEndianFifty[4] = {0, 0, 0, 50};
  const struct {
    const char* name;
    DWORD type;
    const uint8_t* data;
    DWORD size;
    int32_t saved;  // what Quit leaves as a REG_DWORD
  } rows[] = {
      {"LED 1 Floor", REG_DWORD, eight, sizeof eight, 0},  // 8 bytes: the default
      {"Write Delay", REG_QWORD, eight, sizeof eight, 40},
      {"Interpolation", REG_QWORD, eight, sizeof eight, -1},
      {"LED 2 Floor", REG_DWORD_BIG_ENDIAN, bigEndianFifty, sizeof bigEndianFifty, 50},
  };
  for (const auto& row : rows) ASSERT_TRUE(WriteSettingBytes(row.name, row.type, row.data, row.size)) << row.name;
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 3, kStartMs)) << "the start was refused";
  // 45 lies in the windows of LEDs 1, 3, 4 and 5; LED 2's floor is 50 now.
  EXPECT_EQ(LedBytes().back(), 1 + 4 + 8 + 16);
  Quit();
  for (const auto& row : rows) {
    EXPECT_EQ(SettingType(row.name), static_cast<DWORD>(REG_DWORD)) << row.name;
    EXPECT_EQ(StoredDword(row.name), row.saved) << row.name;
  }
}

}  // namespace
