// Adding, collecting and formatting counters against snapshots made up by the test.
#include "emulation/pdh/query_ops.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kMachine = "BOX";

HostSnapshot TwoCpus(int64_t time, int64_t busy0, int64_t busy1) {
  HostSnapshot snapshot;
  snapshot.time100ns = time;
  // Each processor has run `time` ticks; kernel time includes idle time.
  snapshot.cpus = {CpuTimes{time - busy0, time, 0}, CpuTimes{time - busy1, time - busy1 / 2, busy1 / 2}};
  snapshot.availableBytes = 512LL * 1024 * 1024;
  snapshot.committedBytes = 300;
  snapshot.commitLimitBytes = 1200;
  snapshot.nets = {NetFigures{"eth0", 0}, NetFigures{"wlan0", 0}};
  return snapshot;
}

class QueryOps : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHandles();
    query = OpenQueryHandle(0);
    ASSERT_NE(query, 0u);
  }
  HandleValue Add(const char* path, const HostSnapshot& snapshot = TwoCpus(0, 0, 0)) {
    HandleValue counter = 0;
    EXPECT_EQ(AddCounterToQuery(query, path, kMachine, snapshot, 0, counter), OP_OK) << path;
    return counter;
  }
  HandleValue query = 0;
};

struct AddCase {
  const char* path;
  OpStatus status;
};

TEST_F(QueryOps, EveryRefusalHasItsOwnStatus) {
  const AddCase cases[] = {
      {"\\Processor(_Total)\\% Processor Time", OP_OK},
      {"\\processor(1)\\% idle time", OP_OK},
      {"\\\\BOX\\Memory\\Available MBytes", OP_OK},
      {"\\\\box\\System\\Threads", OP_OK},
      {"\\\\.\\System\\Processes", OP_OK},
      {"\\Network Interface(wlan0)\\Bytes Total/sec", OP_OK},
      {"\\PhysicalDisk(_Total)\\% Disk Time", OP_OK},
      {"\\\\OTHER\\Memory\\Available MBytes", OP_NO_MACHINE},
      {"\\Processr(_Total)\\% Processor Time", OP_NO_OBJECT},
      {"\\Processor(_Total)\\% Processor Tim", OP_NO_COUNTER},
      {"\\Processor(2)\\% Processor Time", OP_NO_INSTANCE},
      {"\\Processor\\% Processor Time", OP_NO_INSTANCE},
      {"\\Processor(x/0)\\% Processor Time", OP_NO_INSTANCE},
      {"\\Processor(0#1)\\% Processor Time", OP_NO_INSTANCE},
      {"\\Memory(0)\\Available MBytes", OP_NO_INSTANCE},
      {"\\Network Interface(eth1)\\Bytes Total/sec", OP_NO_INSTANCE},
      {"\\Thermal Zone Information(thermal_zone0)\\Temperature", OP_NO_INSTANCE},
      {"Memory\\Available MBytes", OP_BAD_COUNTERNAME},
      {"\\Memory", OP_BAD_COUNTERNAME},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.path);
    HandleValue counter = 0;
    EXPECT_EQ(AddCounterToQuery(query, c.path, kMachine, TwoCpus(0, 0, 0), 0, counter), c.status);
    EXPECT_EQ(counter != 0, c.status == OP_OK);
  }
  HandleValue counter = 0;
  EXPECT_EQ(AddCounterToQuery(query + 1, "\\Memory\\Available MBytes", kMachine, TwoCpus(0, 0, 0), 0, counter),
            OP_INVALID_HANDLE);
}

TEST_F(QueryOps, RateCountersNeedTwoCollectionsInstantOnesOneElapsedTimeNone) {
  const HandleValue cpu = Add("\\Processor(_Total)\\% Processor Time");
  const HandleValue memory = Add("\\Memory\\Available MBytes");
  HostSnapshot atAdd = TwoCpus(0, 0, 0);
  atAdd.upTimeMs = 90500;
  const HandleValue upTime = Add("\\System\\System Up Time", atAdd);
  CounterReading reading;
  EXPECT_EQ(FormatCounter(memory, kFmtLong, reading), OP_INVALID_DATA);
  ASSERT_EQ(FormatCounter(upTime, kFmtDouble, reading), OP_OK);
  EXPECT_DOUBLE_EQ(reading.value.doubleValue, 90.5);
  EXPECT_EQ(reading.kind, CounterKind::Elapsed);

  HostSnapshot first = TwoCpus(1000, 100, 300);
  first.upTimeMs = 91000;
  ASSERT_EQ(CollectQuery(query, first), OP_OK);
  EXPECT_EQ(FormatCounter(cpu, kFmtLong, reading), OP_INVALID_DATA);
  EXPECT_EQ(reading.calc, CALC_NEEDS_SAMPLES);
  ASSERT_EQ(FormatCounter(memory, kFmtLong, reading), OP_OK);
  EXPECT_EQ(reading.value.longValue, 512);
  ASSERT_EQ(FormatCounter(upTime, kFmtLong, reading), OP_OK);
  EXPECT_EQ(reading.value.longValue, 91);

  // 1000 more ticks per processor, 500 and 300 of them busy: (500 + 300) / 2000.
  ASSERT_EQ(CollectQuery(query, TwoCpus(2000, 600, 600)), OP_OK);
  ASSERT_EQ(FormatCounter(cpu, kFmtDouble, reading), OP_OK);
  EXPECT_DOUBLE_EQ(reading.value.doubleValue, 40.0);
  EXPECT_EQ(reading.kind, CounterKind::TimePercent);
}

TEST_F(QueryOps, ProcessorFiguresSplitIntoUserPrivilegedAndIdle) {
  const HandleValue busy = Add("\\Processor(1)\\% Processor Time");
  const HandleValue user = Add("\\Processor(1)\\% User Time");
  const HandleValue privileged = Add("\\Processor(1)\\% Privileged Time");
  const HandleValue idle = Add("\\Processor(1)\\% Idle Time");
  ASSERT_EQ(CollectQuery(query, TwoCpus(0, 0, 0)), OP_OK);
  ASSERT_EQ(CollectQuery(query, TwoCpus(1000, 0, 600)), OP_OK);
  const std::pair<HandleValue, double> expected[] = {{busy, 60}, {user, 30}, {privileged, 30}, {idle, 40}};
  for (const auto& [counter, value] : expected) {
    CounterReading reading;
    ASSERT_EQ(FormatCounter(counter, kFmtDouble, reading), OP_OK);
    EXPECT_DOUBLE_EQ(reading.value.doubleValue, value);
  }
}

TEST_F(QueryOps, ACounterAddedLaterWaitsForItsOwnTwoSamples) {
  Add("\\Memory\\Committed Bytes");
  ASSERT_EQ(CollectQuery(query, TwoCpus(0, 0, 0)), OP_OK);
  ASSERT_EQ(CollectQuery(query, TwoCpus(1000, 0, 0)), OP_OK);
  const HandleValue net = Add("\\Network Interface(_Total)\\Bytes Total/sec");
  HostSnapshot snapshot = TwoCpus(10000000, 0, 0);
  ASSERT_EQ(CollectQuery(query, snapshot), OP_OK);
  CounterReading reading;
  EXPECT_EQ(FormatCounter(net, kFmtLarge, reading), OP_INVALID_DATA);
  snapshot.time100ns += 5000000;  // half a second
  snapshot.nets[0].bytes = 1000;
  snapshot.nets[1].bytes = 500;
  ASSERT_EQ(CollectQuery(query, snapshot), OP_OK);
  ASSERT_EQ(FormatCounter(net, kFmtLarge, reading), OP_OK);
  EXPECT_EQ(reading.value.largeValue, 3000);
}

TEST_F(QueryOps, AVanishedInstanceIsReportedNotRead) {
  const HandleValue net = Add("\\Network Interface(wlan0)\\Bytes Total/sec");
  HostSnapshot snapshot = TwoCpus(0, 0, 0);
  ASSERT_EQ(CollectQuery(query, snapshot), OP_OK);
  snapshot.nets.pop_back();
  snapshot.time100ns = 1000;
  ASSERT_EQ(CollectQuery(query, snapshot), OP_OK);
  CounterReading reading;
  EXPECT_EQ(FormatCounter(net, kFmtLong, reading), OP_NO_INSTANCE);
}

TEST_F(QueryOps, CommittedShareAndQueryStatuses) {
  const HandleValue share = Add("\\Memory\\% Committed Bytes In Use");
  ASSERT_EQ(CollectQuery(query, TwoCpus(0, 0, 0)), OP_OK);
  CounterReading reading;
  ASSERT_EQ(FormatCounter(share, kFmtLong, reading), OP_OK);
  EXPECT_EQ(reading.value.longValue, 25);
  EXPECT_EQ(FormatCounter(share, 0, reading), OP_INVALID_ARGUMENT);
  EXPECT_EQ(GroupsOfQuery(query), static_cast<unsigned>(READ_MEMORY));

  const HandleValue empty = OpenQueryHandle(0);
  EXPECT_EQ(CollectQuery(empty, TwoCpus(0, 0, 0)), OP_NO_DATA);
  EXPECT_EQ(CollectQuery(share, TwoCpus(0, 0, 0)), OP_INVALID_HANDLE);
  ASSERT_TRUE(CloseQueryHandle(query));
  EXPECT_EQ(FormatCounter(share, kFmtLong, reading), OP_INVALID_HANDLE);
  EXPECT_EQ(GroupsOfQuery(query), 0u);
}

}  // namespace
