// Source kinds: what is stored, what is refused and which label each kind shows.
#include <gtest/gtest.h>

#include <string>

#include "sources/source_kinds.h"

namespace {

constexpr char kCpu[] = "CPU Utilization (%)";
constexpr char kMem[] = "Memory Used (MB)";

class SourceKindsTest : public testing::Test {
 protected:
  void SetUp() override { ResetSourceKinds(); }
};

TEST_F(SourceKindsTest, EveryLedStartsOnTheProcessor) {
  SetSourceKind(2, kSourceMem);
  ResetSourceKinds();
  for (int32_t i = 0; i < kLedCount; ++i) {
    EXPECT_EQ(GetSourceKind(i), kSourceCpu) << "LED index " << i;
    ASSERT_NE(GetSourceKindLabel(i), nullptr);
    EXPECT_STREQ(GetSourceKindLabel(i), kCpu);
  }
}

TEST_F(SourceKindsTest, AnyKindIsStoredAndOnlyZeroIsTheProcessor) {
  struct Row {
    int32_t index, kind;
    const char* label;
  };
  const Row rows[] = {
      {0, 1, kMem}, {3, 7, kMem}, {7, -1, kMem}, {5, INT32_MIN, kMem}, {6, 0, kCpu}, {1, 2, kMem},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SetSourceKind(r.index, r.kind), 0) << r.index;
    EXPECT_EQ(GetSourceKind(r.index), r.kind) << r.index;
    EXPECT_STREQ(GetSourceKindLabel(r.index), r.label) << r.index << " kind " << r.kind;
  }
}

TEST_F(SourceKindsTest, IndexesOutsideTheRowAreRefusedAndStoreNothing) {
  for (int32_t index : {-1, 8, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(SetSourceKind(index, kSourceMem), -1) << index;
    EXPECT_EQ(GetSourceKind(index), -1) << index;
    EXPECT_EQ(GetSourceKindLabel(index), nullptr) << index;
  }
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(GetSourceKind(i), kSourceCpu) << "LED index " << i;
}

}  // namespace
