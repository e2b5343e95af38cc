// Finding the last data write in the journal, and how its age is measured
// and read.
#include "tools/ledview/write_age.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// LPT1's registers and LPT2's data, from the register layout.
constexpr uint16_t kLpt1 = kPortBases[0];
constexpr uint16_t kLpt1Data = kLpt1 + kDataOffset;
constexpr uint16_t kLpt1Control = kLpt1 + kControlOffset;
constexpr uint16_t kLpt1Ecr = kLpt1 + kEcrOffset;
constexpr uint16_t kLpt2Data = kPortBases[1] + kDataOffset;

JournalEntry Entry(uint16_t kind, uint32_t address, uint32_t value, uint8_t size, bool succeeded, int64_t time) {
  JournalEntry entry{};
  entry.kind = kind;
  entry.address = address;
  entry.value = value;
  entry.size = size;
  entry.succeeded = succeeded ? 1 : 0;
  entry.time = time;
  return entry;
}

TEST(WriteAgeTest, OnlySuccessfulByteWritesToTheDataRegisterCount) {
  const LastDataWrite before{true, 5, 0x11};
  const struct {
    const char* what;
    std::vector<JournalEntry> entries;
    LastDataWrite expected;
  } rows[] = {
      {"a data write", {Entry(kJournalPortWrite, kLpt1Data, 0xA5, 1, true, 100)}, {true, 100, 0xA5}},
      {"the newest of several",
       {Entry(kJournalPortWrite, kLpt1Data, 1, 1, true, 100), Entry(kJournalPortWrite, kLpt1Data, 2, 1, true, 200),
        Entry(kJournalPortRead, kLpt1Data, 3, 1, true, 300)},
       {true, 200, 2}},
      {"control register", {Entry(kJournalPortWrite, kLpt1Control, 0x0B, 1, true, 100)}, before},
      {"ECR", {Entry(kJournalPortWrite, kLpt1Ecr, 0x20, 1, true, 100)}, before},
      {"another port's data", {Entry(kJournalPortWrite, kLpt2Data, 0xFF, 1, true, 100)}, before},
      {"a refused write", {Entry(kJournalPortWrite, kLpt1Data, 0xFF, 1, false, 100)}, before},
      {"a word write", {Entry(kJournalPortWrite, kLpt1Data, 0xFF, 2, true, 100)}, before},
      {"a read", {Entry(kJournalPortRead, kLpt1Data, 0xFF, 1, true, 100)}, before},
      {"a reset", {Entry(kJournalReset, 0, 0, 0, true, 100)}, before},
      {"nothing new", {}, before},
      {"only the low byte reaches the port", {Entry(kJournalPortWrite, kLpt1Data, 0x1C3, 1, true, 9)}, {true, 9, 0xC3}},
  };
  for (const auto& row : rows) {
    LastDataWrite last = before;
    NoteDataWrites(row.entries, kLpt1Data, &last);
    EXPECT_EQ(last.found, row.expected.found) << row.what;
    EXPECT_EQ(last.time, row.expected.time) << row.what;
    EXPECT_EQ(last.value, row.expected.value) << row.what;
  }

  LastDataWrite none{};
  NoteDataWrites({Entry(kJournalPortWrite, kLpt1Control, 0x0B, 1, true, 100)}, kLpt1Data, &none);
  EXPECT_FALSE(none.found);
}

TEST(WriteAgeTest, TicksBecomeMillisecondsWithoutOverflow) {
  const struct {
    int64_t ticks;
    int64_t frequency;
    int64_t ms;
  } rows[] = {
      {0, 10000000, 0},
      {10000000, 10000000, 1000},
      {5000000, 10000000, 500},
      {9999, 10000000, 0},
      {1, 3, 333},
      {35, 1000, 35},
      {-1000, 10000000, 0},  // a stamp a little ahead of the reader's clock
      {1000, 0, 0},
      {1000, -5, 0},
      {INT64_MAX, 10000000, 922337203685477},
      {INT64_MAX, 1000, INT64_MAX},
      {INT64_MAX, 1, INT64_MAX},
      {INT64_MAX - 1, INT64_MAX, 999},
      {INT64_MAX / 2, INT64_MAX, 499},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TicksToMilliseconds(row.ticks, row.frequency), row.ms) << row.ticks << " / " << row.frequency;
  }
}

TEST(WriteAgeTest, AgeReadsInTheLargestUsefulUnit) {
  const struct {
    int64_t ms;
    const char* text;
  } rows[] = {
      {0, "0 ms ago"},
      {-40, "0 ms ago"},
      {999, "999 ms ago"},
      {1000, "1.0 s ago"},
      {1499, "1.4 s ago"},
      {59999, "59.9 s ago"},
      {60000, "1 min 00 s ago"},
      {61500, "1 min 01 s ago"},
      {3599999, "59 min 59 s ago"},
      {3600000, "1 h 00 min ago"},
      {90061000, "25 h 01 min ago"},
      {INT64_MAX, "2562047788015 h 12 min ago"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatAge(row.ms), row.text) << row.ms;
  }
}

}  // namespace
