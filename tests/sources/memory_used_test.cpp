// Megabytes in use from the platform's byte counts, including amounts beyond
// 32 bits.
#include <gtest/gtest.h>

#include "sources/memory_used.h"

namespace {

constexpr uint64_t kMb = uint64_t{1} << 20;
constexpr uint64_t kGb = uint64_t{1} << 30;

TEST(MemoryUsedMbTest, WholeMegabytesRoundedDownAndClamped) {
  struct Row {
    uint64_t total, available;
    int32_t mb;
  };
  const Row rows[] = {
      {256 * kMb, 16 * kMb, 240},
      {256 * kMb, 256 * kMb - (kMb - 1), 0},  // one byte short of a megabyte in use
      {256 * kMb, 255 * kMb, 1},              // exactly one
      {256 * kMb, 255 * kMb - 1, 1},          // one byte over
      {4 * kGb, 1 * kGb, 3072},               // beyond what 32-bit counts could say
      {2 * kGb, 0, 2048},                     // 2 GiB in use no longer comes out negative
      {64 * kGb, 0, 65536},
      {uint64_t{INT32_MAX} * kMb, 0, INT32_MAX},        // the largest number of MB that fits
      {(uint64_t{INT32_MAX} + 1) * kMb, 0, INT32_MAX},  // one more: clamped
      {UINT64_MAX, 0, INT32_MAX},
      {16 * kMb, 32 * kMb, 0},  // more available than total
      {0, 0, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(MemoryUsedMb(r.total, r.available), r.mb) << r.total << " total, " << r.available << " available";
  }
}

}  // namespace
