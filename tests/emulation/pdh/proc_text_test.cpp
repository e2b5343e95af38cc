// Figures read from the texts of /proc and /sys.
#include "emulation/pdh/proc_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct NumberCase {
  const char* text;
  bool ok;
  int64_t value;
};

TEST(ProcText, LoadavgGivesTheThreadCount) {
  const NumberCase cases[] = {
      {"0.93 0.53 0.30 3/152 13702\n", true, 152}, {"0.00 0.00 0.00 1/7 1", true, 7},
      {"0.93 0.53 0.30 3 152", false, 0},          {"0.93 0.53 0.30 3/ 13702", false, 0},
      {"0.93 0.53 0.30 3/15x 1", false, 0},        {"1/9999999999999999999999", false, 0},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t threads = -1;
    ASSERT_EQ(ParseLoadavgThreads(c.text, threads), c.ok);
    EXPECT_EQ(threads, c.ok ? c.value : -1);
  }
}

TEST(ProcText, BlockStatGivesBytesAndBusyTime) {
  int64_t bytes = -1;
  int64_t busy = -1;
  ASSERT_TRUE(
      ParseBlockStat("   70935     9697  9382138    25404    31097    16923 13717152    24443        0"
                     "    12272    52932     8050       96  2116056     1598     3472     1485\n",
                     bytes, busy));
  EXPECT_EQ(bytes, (9382138 + 13717152) * int64_t{512});
  EXPECT_EQ(busy, 12272);
  bytes = busy = -1;
  EXPECT_FALSE(ParseBlockStat("1 2 3 4 5 6 7 8 9", bytes, busy));
  EXPECT_FALSE(ParseBlockStat("", bytes, busy));
  EXPECT_EQ(bytes, -1);
}

TEST(ProcText, ThermalZonesInMillidegreesBecomeMillikelvin) {
  const NumberCase cases[] = {
      {"45000\n", true, 318150}, {"-5000", true, 268150}, {"0", true, 273150}, {"", false, 0},
      {"45 C", false, 0},        {"-", false, 0},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t value = -1;
    ASSERT_EQ(ParseMilliCelsius(c.text, value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST(ProcText, OnlyNumberedEntriesAreProcesses) {
  EXPECT_TRUE(IsProcessEntry("1"));
  EXPECT_TRUE(IsProcessEntry("13702"));
  EXPECT_FALSE(IsProcessEntry("self"));
  EXPECT_FALSE(IsProcessEntry("12a"));
  EXPECT_FALSE(IsProcessEntry(""));
}

}  // namespace

namespace {

TEST(ProcText, MeminfoFieldsAreFoundByTheirWholeName) {
  const char* text =
      "MemTotal:       24683748 kB\nCommitLimit:    12341872 kB\nCommitted_AS:    2926920 kB\nCommitted: x\n";
  const struct {
    const char* field;
    bool ok;
    int64_t bytes;
  } cases[] = {
      {"MemTotal", true, 24683748LL * 1024},
      {"Committed_AS", true, 2926920LL * 1024},
      {"CommitLimit", true, 12341872LL * 1024},
      {"Committed", false, 0},
      {"Commit", false, 0},
      {"SwapTotal", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    int64_t bytes = -1;
    ASSERT_EQ(ParseMeminfoBytes(text, c.field, bytes), c.ok);
    EXPECT_EQ(bytes, c.ok ? c.bytes : -1);
  }
}

}  // namespace
