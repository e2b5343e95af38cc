// Query and counter handles: live ones are found, stale and foreign ones never.
#include "emulation/pdh/handle_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class HandleTable : public ::testing::Test {
 protected:
  void SetUp() override { ResetHandles(); }
};

TEST_F(HandleTable, ClosingAQueryMakesItAndItsCountersStale) {
  const HandleValue query = OpenQueryHandle(7);
  ASSERT_NE(query, 0u);
  const HandleValue counter = AddCounterHandle(query, 1, 2, "", "\\Memory\\Committed Bytes", 9);
  ASSERT_NE(counter, 0u);
  ASSERT_NE(FindQuery(query), nullptr);
  EXPECT_EQ(FindQuery(query)->userData, 7u);
  ASSERT_NE(FindCounterHandle(counter), nullptr);
  EXPECT_EQ(FindCounterHandle(counter)->userData, 9u);

  EXPECT_TRUE(CloseQueryHandle(query));
  EXPECT_EQ(FindQuery(query), nullptr);
  EXPECT_EQ(FindCounterHandle(counter), nullptr);
  EXPECT_FALSE(RemoveCounterHandle(counter));
  EXPECT_FALSE(CloseQueryHandle(query));
  EXPECT_EQ(AddCounterHandle(query, 1, 2, "", "", 0), 0u);
}

TEST_F(HandleTable, AReusedSlotDoesNotReviveAnOldHandle) {
  const HandleValue first = OpenQueryHandle(0);
  ASSERT_TRUE(CloseQueryHandle(first));
  const HandleValue second = OpenQueryHandle(0);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(FindQuery(first), nullptr);
  EXPECT_NE(FindQuery(second), nullptr);

  const HandleValue counter = AddCounterHandle(second, 0, 0, "_Total", "p", 0);
  ASSERT_TRUE(RemoveCounterHandle(counter));
  const HandleValue again = AddCounterHandle(second, 0, 0, "_Total", "p", 0);
  EXPECT_NE(again, counter);
  EXPECT_FALSE(RemoveCounterHandle(counter));
  EXPECT_TRUE(RemoveCounterHandle(again));
}

TEST_F(HandleTable, ForeignValuesAndKindMixUpsAreRefused) {
  const HandleValue query = OpenQueryHandle(0);
  const HandleValue counter = AddCounterHandle(query, 0, 0, "", "p", 0);
  int local = 0;
  const std::vector<HandleValue> foreign = {
      0, 1, 0xFFFFFFFFu, reinterpret_cast<HandleValue>(&local), query + 1, counter + 1, query | (HandleValue{1} << 40)};
  for (HandleValue value : foreign) {
    SCOPED_TRACE(value);
    EXPECT_EQ(FindQuery(value), nullptr);
    EXPECT_EQ(FindCounterHandle(value), nullptr);
  }
  EXPECT_EQ(FindCounterHandle(query), nullptr);
  EXPECT_EQ(FindQuery(counter), nullptr);
  EXPECT_FALSE(CloseQueryHandle(counter));
  EXPECT_FALSE(RemoveCounterHandle(query));
}

TEST_F(HandleTable, FullTablesRefuseMoreAndRecoverWhenFreed) {
  std::vector<HandleValue> queries;
  for (size_t i = 0; i < kMaxQueries; ++i) queries.push_back(OpenQueryHandle(0));
  for (HandleValue query : queries) ASSERT_NE(query, 0u);
  EXPECT_EQ(OpenQueryHandle(0), 0u);

  for (size_t i = 0; i < kMaxCounters; ++i) ASSERT_NE(AddCounterHandle(queries[0], 0, 0, "", "p", 0), 0u);
  EXPECT_EQ(AddCounterHandle(queries[1], 0, 0, "", "p", 0), 0u);
  EXPECT_EQ(CountersIn(QuerySlotOf(queries[0])), kMaxCounters);

  ASSERT_TRUE(CloseQueryHandle(queries[0]));
  EXPECT_NE(OpenQueryHandle(0), 0u);
  EXPECT_NE(AddCounterHandle(queries[1], 0, 0, "", "p", 0), 0u);
}

TEST_F(HandleTable, ResetLeavesNoHandleLive) {
  const HandleValue query = OpenQueryHandle(0);
  const HandleValue counter = AddCounterHandle(query, 0, 0, "", "p", 0);
  ResetHandles();
  EXPECT_EQ(FindQuery(query), nullptr);
  EXPECT_EQ(FindCounterHandle(counter), nullptr);
}

}  // namespace
