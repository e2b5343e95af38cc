// The test patterns over recording stand-ins: bytes, holds, early end, box.
#include "app/led_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/app_fakes.h"
#include "tests/fakes/meter_io_fakes.h"

namespace {

void ResetFakes() {
  ResetMeterIoFakes();
  ResetAppFakes();
}

std::vector<int32_t> Prefix(const std::vector<int32_t>& all, std::size_t n) {
  return std::vector<int32_t>(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
}

struct SequenceCase {
  const char* name;
  void (*run)();
  std::vector<int32_t> bytes;  // the whole sequence, written out by hand
  int32_t holdMs;
  const char* completeText;
};

std::vector<int32_t> Ascending(int32_t count) {
  std::vector<int32_t> bytes;
  for (int32_t v = 0; v < count; ++v) bytes.push_back(v);
  return bytes;
}

const std::vector<SequenceCase>& Cases() {
  static const std::vector<SequenceCase> cases = {
      {"short",
       RunShortTest,
       {0, 1, 2, 4,  8,  16, 32,  64,  128, 64, 32, 16, 8, 4, 2, 1, 0,
        1, 3, 7, 15, 31, 63, 127, 255, 127, 63, 31, 15, 7, 3, 1, 0},
       250,
       "Short test complete!"},
      {"full", RunFullTest, Ascending(256), 50, "Full test complete!"},
  };
  return cases;
}

class TestSequencesTest : public testing::Test {
 protected:
  void SetUp() override { ResetFakes(); }
};

TEST_F(TestSequencesTest, CompleteRunWritesEveryByteInOrderEachHeldThenShowsTheBox) {
  for (const SequenceCase& c : Cases()) {
    ResetFakes();
    c.run();
    EXPECT_EQ(fakes.writes, c.bytes) << c.name;
    // Every byte, the last one included, is held before the box comes up.
    EXPECT_EQ(fakes.sleeps, std::vector<int32_t>(c.bytes.size(), c.holdMs)) << c.name;
    // The thread is held: no message is handled between the bytes.
    EXPECT_TRUE(fakes.waits.empty()) << c.name;
    EXPECT_EQ(app.boxes, std::vector<std::string>{c.completeText}) << c.name;
    EXPECT_EQ(app.writesAtBox, std::vector<int32_t>{static_cast<int32_t>(c.bytes.size())}) << c.name;
  }
}

TEST_F(TestSequencesTest, FailedWriteEndsTheSequenceAtOnceAndStillShowsTheBox) {
  // Failing first, in the middle, and on the very last byte.
  for (const SequenceCase& c : Cases()) {
    for (const std::size_t failAt : {std::size_t{0}, std::size_t{9}, c.bytes.size() - 1}) {
      ResetFakes();
      fakes.failWriteAt = static_cast<int32_t>(failAt);
      c.run();
      EXPECT_EQ(fakes.writes, Prefix(c.bytes, failAt + 1)) << c.name << " failing at " << failAt;
      EXPECT_EQ(fakes.sleeps, std::vector<int32_t>(failAt, c.holdMs)) << c.name << " failing at " << failAt;
      EXPECT_EQ(app.boxes, std::vector<std::string>{c.completeText}) << c.name << " failing at " << failAt;
    }
  }
}

TEST_F(TestSequencesTest, SequencesEndWithAllOffAndAllLit) {
  EXPECT_EQ(kShortTestBytes.back(), 0);
  EXPECT_EQ(kFullTestBytes.back(), 255);
  EXPECT_EQ(kShortTestHoldMs * static_cast<int32_t>(kShortTestBytes.size()), 8250);
  EXPECT_EQ(kFullTestHoldMs * static_cast<int32_t>(kFullTestBytes.size()), 12800);
}

}  // namespace
