// Our pdh.dll under Wine: refusal codes, argument and handle checks, formats, collections and real host figures.
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winperf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host_figures.h"
#include "pdh_library.h"

namespace {

constexpr PDH_STATUS Status(DWORD code) { return static_cast<PDH_STATUS>(code); }

class PdhCounters : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Pdh().module, nullptr);
    ASSERT_EQ(Pdh().openQuery(nullptr, 0, &query), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (query != nullptr) Pdh().closeQuery(query);
  }
  PDH_HCOUNTER Add(const std::string& path) {
    PDH_HCOUNTER counter = nullptr;
    EXPECT_EQ(Pdh().addCounter(query, path.c_str(), 0, &counter), ERROR_SUCCESS) << path;
    return counter;
  }
  double Value(PDH_HCOUNTER counter, DWORD format = PDH_FMT_DOUBLE) {
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(Pdh().formattedValue(counter, format, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
    return value.doubleValue;
  }
  PDH_HQUERY query = nullptr;
};

struct RefusalCase {
  const char* path;
  DWORD status;
};

TEST_F(PdhCounters, AddRefusesUnknownPartsWithThePlatformsCodes) {
  const RefusalCase cases[] = {
      {"\\Processor(_Total)\\% Processor Time", ERROR_SUCCESS},
      {"\\Memory\\Available MBytes", ERROR_SUCCESS},
      {"\\Nothing\\Available MBytes", PDH_CSTATUS_NO_OBJECT},
      {"\\Memory\\Nothing", PDH_CSTATUS_NO_COUNTER},
      {"\\System\\System Down Time", PDH_CSTATUS_NO_COUNTER},
      {"\\Processor(999)\\% Processor Time", PDH_CSTATUS_NO_INSTANCE},
      {"\\Memory(1)\\Available MBytes", PDH_CSTATUS_NO_INSTANCE},
      {"\\\\NOSUCHMACHINE\\Memory\\Available MBytes", PDH_CSTATUS_NO_MACHINE},
      {"Memory\\Available MBytes", PDH_CSTATUS_BAD_COUNTERNAME},
      {"\\Processor(_Total\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME},
  };
  // A handle the caller held before must not survive a failed add.
  const PDH_HCOUNTER earlier = Add("\\System\\Threads");
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.path);
    PDH_HCOUNTER counter = earlier;
    EXPECT_EQ(Pdh().addCounter(query, c.path, 0, &counter), Status(c.status));
    EXPECT_EQ(counter == nullptr, c.status != ERROR_SUCCESS);
  }
}

struct EntryCase {
  const char* what;
  std::function<PDH_STATUS()> call;
  DWORD status;
  bool clearsCounter;  // an add with an out handle: it is null after the failure
};

// Arguments are checked before handles, as on Windows; a handle that is stale,
// foreign or of the other kind is refused without harm.
TEST_F(PdhCounters, EveryEntryPointTellsABadArgumentFromABadHandle) {
  constexpr const char* kPath = "\\System\\System Up Time";
  const PDH_HCOUNTER counter = Add(kPath);
  const PDH_HCOUNTER removed = Add("\\Memory\\Committed Bytes");
  ASSERT_EQ(Pdh().removeCounter(removed), ERROR_SUCCESS);
  // A closed query takes its counters with it.
  PDH_HQUERY closed = nullptr;
  ASSERT_EQ(Pdh().openQuery(nullptr, 0, &closed), ERROR_SUCCESS);
  PDH_HCOUNTER orphan = nullptr;
  ASSERT_EQ(Pdh().addCounter(closed, kPath, 0, &orphan), ERROR_SUCCESS);
  ASSERT_EQ(Pdh().closeQuery(closed), ERROR_SUCCESS);

  int local = 0;
  PDH_HQUERY opened = nullptr;
  PDH_HCOUNTER added = nullptr;
  PDH_FMT_COUNTERVALUE value = {};
  PDH_BROWSE_DLG_CONFIG_A noBuffer = {};
  noBuffer.cchReturnPathLength = MAX_PATH;
  const PdhLibrary& pdh = Pdh();
  const auto closeQuery = [&](HANDLE h) { return [&, h] { return pdh.closeQuery(h); }; };
  const auto collect = [&](HANDLE h) { return [&, h] { return pdh.collectQuery(h); }; };
  const auto removeCounter = [&](HANDLE h) { return [&, h] { return pdh.removeCounter(h); }; };
  const auto addCounter = [&](HANDLE h, const char* path, PDH_HCOUNTER* out) {
    return [&, h, path, out] { return pdh.addCounter(h, path, 0, out); };
  };
  const auto format = [&](HANDLE h, DWORD flags, PDH_FMT_COUNTERVALUE* out) {
    return [&, h, flags, out] { return pdh.formattedValue(h, flags, nullptr, out); };
  };
  const EntryCase cases[] = {
      {"open, no out handle", [&] { return pdh.openQuery(nullptr, 0, nullptr); }, PDH_INVALID_ARGUMENT, false},
      {"open a log file", [&] { return pdh.openQuery("C:\\log.blg", 0, &opened); }, PDH_INVALID_DATASOURCE, false},
      {"close null", closeQuery(nullptr), PDH_INVALID_HANDLE, false},
      {"close a pointer", closeQuery(&local), PDH_INVALID_HANDLE, false},
      {"close INVALID_HANDLE_VALUE", closeQuery(INVALID_HANDLE_VALUE), PDH_INVALID_HANDLE, false},
      {"close a counter", closeQuery(counter), PDH_INVALID_HANDLE, false},
      {"close twice", closeQuery(closed), PDH_INVALID_HANDLE, false},
      {"add, no query, no out handle", addCounter(nullptr, kPath, nullptr), PDH_INVALID_ARGUMENT, false},
      {"add, no path", addCounter(query, nullptr, &added), PDH_INVALID_ARGUMENT, true},
      {"add, no out handle", addCounter(query, kPath, nullptr), PDH_INVALID_ARGUMENT, false},
      {"add to null", addCounter(nullptr, kPath, &added), PDH_INVALID_HANDLE, true},
      {"add to a counter", addCounter(counter, kPath, &added), PDH_INVALID_HANDLE, true},
      {"add to a closed query", addCounter(closed, kPath, &added), PDH_INVALID_HANDLE, true},
      {"remove null", removeCounter(nullptr), PDH_INVALID_HANDLE, false},
      {"remove a query", removeCounter(query), PDH_INVALID_HANDLE, false},
      {"remove twice", removeCounter(removed), PDH_INVALID_HANDLE, false},
      {"remove from a closed query", removeCounter(orphan), PDH_INVALID_HANDLE, false},
      {"collect null", collect(nullptr), PDH_INVALID_HANDLE, false},
      {"collect a pointer", collect(&local), PDH_INVALID_HANDLE, false},
      {"collect INVALID_HANDLE_VALUE", collect(INVALID_HANDLE_VALUE), PDH_INVALID_HANDLE, false},
      {"collect a counter", collect(counter), PDH_INVALID_HANDLE, false},
      {"collect a closed query", collect(closed), PDH_INVALID_HANDLE, false},
      {"format, no counter, no value", format(nullptr, PDH_FMT_LARGE, nullptr), PDH_INVALID_ARGUMENT, false},
      {"format, no value", format(counter, PDH_FMT_LARGE, nullptr), PDH_INVALID_ARGUMENT, false},
      {"format, two types", format(counter, PDH_FMT_LONG | PDH_FMT_DOUBLE, &value), PDH_INVALID_ARGUMENT, false},
      {"format null", format(nullptr, PDH_FMT_LARGE, &value), PDH_INVALID_HANDLE, false},
      {"format a pointer", format(&local, PDH_FMT_LONG, &value), PDH_INVALID_HANDLE, false},
      {"format a query", format(query, PDH_FMT_LONG, &value), PDH_INVALID_HANDLE, false},
      {"format a removed counter", format(removed, PDH_FMT_LONG, &value), PDH_INVALID_HANDLE, false},
      {"format from a closed query", format(orphan, PDH_FMT_LONG, &value), PDH_INVALID_HANDLE, false},
      {"browse, no configuration", [&] { return pdh.browseCounters(nullptr); }, PDH_INVALID_ARGUMENT, false},
      {"browse, no buffer", [&] { return pdh.browseCounters(&noBuffer); }, PDH_INVALID_ARGUMENT, false},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.what);
    added = counter;  // the caller's handle from before
    EXPECT_EQ(c.call(), Status(c.status));
    if (c.clearsCounter) {
      EXPECT_EQ(added, nullptr);
    }
  }
  // None of it harmed the live query and its counter.
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  EXPECT_EQ(Pdh().formattedValue(counter, PDH_FMT_LARGE, nullptr, &value), ERROR_SUCCESS);
}

// After a collection: neither scaling nor the cap at 100 changes an elapsed
// time, times 1000 does (the plain value drops the fraction the other keeps).
TEST_F(PdhCounters, EveryFormatFlagAppliesAfterACollection) {
  const PDH_HCOUNTER upTime = Add("\\System\\System Up Time");
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  PDH_FMT_COUNTERVALUE plain = {};
  ASSERT_EQ(Pdh().formattedValue(upTime, PDH_FMT_LARGE, nullptr, &plain), ERROR_SUCCESS);
  ASSERT_GT(plain.largeValue, 0);
  const std::pair<DWORD, LONGLONG> cases[] = {{PDH_FMT_LARGE, 1},
                                              {PDH_FMT_LARGE | PDH_FMT_NOSCALE, 1},
                                              {PDH_FMT_LARGE | PDH_FMT_NOCAP100, 1},
                                              {PDH_FMT_LARGE | PDH_FMT_1000, 1000}};
  for (const auto& [flags, times] : cases) {
    SCOPED_TRACE(flags);
    PDH_FMT_COUNTERVALUE value = {};
    DWORD type = 0;
    ASSERT_EQ(Pdh().formattedValue(upTime, flags, &type, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(type, static_cast<DWORD>(PERF_ELAPSED_TIME));
    EXPECT_GE(value.largeValue, plain.largeValue * times);
    EXPECT_LT(value.largeValue, (plain.largeValue + 1) * times);
  }
}

// An elapsed time is measured against the clock and has a value at once; a
// rate needs two collections.
TEST_F(PdhCounters, ElapsedTimeNeedsNoCollectionRateCountersNeedTwo) {
  EXPECT_EQ(Pdh().collectQuery(query), Status(PDH_NO_DATA));
  const PDH_HCOUNTER upTime = Add("\\System\\System Up Time");
  const PDH_HCOUNTER cpu = Add("\\Processor(_Total)\\% Processor Time");
  PDH_FMT_COUNTERVALUE value = {};
  ASSERT_EQ(Pdh().formattedValue(upTime, PDH_FMT_LARGE, nullptr, &value), ERROR_SUCCESS);
  EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
  EXPECT_NEAR(static_cast<double>(value.largeValue), UptimeSeconds(), 2.0);
  EXPECT_EQ(Pdh().formattedValue(cpu, PDH_FMT_LONG, nullptr, &value), Status(PDH_INVALID_DATA));
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  EXPECT_EQ(Pdh().formattedValue(cpu, PDH_FMT_LONG, nullptr, &value), Status(PDH_INVALID_DATA));
  EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);
  Sleep(100);
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  DWORD type = 0;
  ASSERT_EQ(Pdh().formattedValue(cpu, PDH_FMT_LONG, &type, &value), ERROR_SUCCESS);
  EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
  EXPECT_GE(value.longValue, 0);
  EXPECT_LE(value.longValue, 100);
  EXPECT_NE(type, 0u);

  // A query whose counters were all removed goes on, with nothing to collect.
  ASSERT_EQ(Pdh().removeCounter(cpu), ERROR_SUCCESS);
  ASSERT_EQ(Pdh().removeCounter(upTime), ERROR_SUCCESS);
  EXPECT_EQ(Pdh().collectQuery(query), Status(PDH_NO_DATA));
}

TEST_F(PdhCounters, MemoryAndSystemMatchTheHostsOwnFigures) {
  const PDH_HCOUNTER availableMb = Add("\\Memory\\Available MBytes");
  const PDH_HCOUNTER availableKb = Add("\\Memory\\Available KBytes");
  const PDH_HCOUNTER committed = Add("\\Memory\\Committed Bytes");
  const PDH_HCOUNTER committedShare = Add("\\Memory\\% Committed Bytes In Use");
  const PDH_HCOUNTER processes = Add("\\System\\Processes");
  const PDH_HCOUNTER threads = Add("\\System\\Threads");
  const PDH_HCOUNTER upTime = Add("\\System\\System Up Time");
  // Memory moves while the test runs (a Wine process starting or ending beside
  // this one commits or frees some 70 MiB at once): the host's figures are read
  // just before and just after the collection, and the counter lies within 5%
  // (committed: 10%) or 64 MiB of what they span.
  const double availableBefore = static_cast<double>(MeminfoKb("MemAvailable"));
  const double committedBefore = static_cast<double>(MeminfoKb("Committed_AS")) * 1024;
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  const double availableAfter = static_cast<double>(MeminfoKb("MemAvailable"));
  const double committedAfter = static_cast<double>(MeminfoKb("Committed_AS")) * 1024;
  const auto spanned = [](double value, double before, double after, double share, double least) {
    const double slack = std::max(std::max(before, after) * share, least);
    if (value >= std::min(before, after) - slack && value <= std::max(before, after) + slack) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << value << " is not within " << slack << " of " << before << " to " << after;
  };
  EXPECT_TRUE(spanned(Value(availableKb), availableBefore, availableAfter, 0.05, 65536.0));
  EXPECT_TRUE(spanned(Value(availableMb), availableBefore / 1024, availableAfter / 1024, 0.05, 64.0));
  EXPECT_TRUE(spanned(Value(committed), committedBefore, committedAfter, 0.10, 64.0 * 1024 * 1024));
  EXPECT_GT(Value(committedShare), 0.0);
  EXPECT_LE(Value(committedShare), 100.0);

  // Processes and threads come and go (other tests run alongside): within 20%.
  const double hostProcesses = static_cast<double>(HostProcessCount());
  EXPECT_NEAR(Value(processes), hostProcesses, std::max(hostProcesses * 0.2, 10.0));
  const double hostThreads = static_cast<double>(HostThreadCount());
  EXPECT_NEAR(Value(threads), hostThreads, std::max(hostThreads * 0.2, 20.0));
  EXPECT_NEAR(Value(upTime), UptimeSeconds(), 2.0);
}

// Spins on one processor while the counters and /proc/stat watch the same second.
TEST_F(PdhCounters, ABusyLoopRaisesProcessorTime) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const double processors = info.dwNumberOfProcessors;
  const PDH_HCOUNTER total = Add("\\Processor(_Total)\\% Processor Time");
  const PDH_HCOUNTER first = Add("\\Processor(0)\\% Processor Time");
  const PDH_HCOUNTER idle = Add("\\Processor(_Total)\\% Idle Time");
  const PDH_HCOUNTER user = Add("\\Processor(_Total)\\% User Time");
  const PDH_HCOUNTER privileged = Add("\\Processor(_Total)\\% Privileged Time");

  std::atomic<bool> stop{false};
  std::thread spinner([&stop] {
    SetThreadAffinityMask(GetCurrentThread(), 1);
    volatile unsigned long long spins = 0;
    while (!stop.load(std::memory_order_relaxed)) spins = spins + 1;
  });
  Sleep(200);
  int64_t busyBefore = 0, totalBefore = 0, busyAfter = 0, totalAfter = 0;
  CpuJiffies("cpu", busyBefore, totalBefore);
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  Sleep(1500);
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  CpuJiffies("cpu", busyAfter, totalAfter);
  stop = true;
  spinner.join();

  const double hostPercent = 100.0 * (busyAfter - busyBefore) / std::max<int64_t>(totalAfter - totalBefore, 1);
  const double pdhPercent = Value(total);
  EXPECT_GE(pdhPercent, 0.8 * 100.0 / processors) << "one of " << processors << " processors was kept busy";
  EXPECT_NEAR(pdhPercent, hostPercent, 15.0);
  EXPECT_GE(Value(first), 80.0);
  EXPECT_NEAR(Value(idle), 100.0 - pdhPercent, 0.5);
  EXPECT_NEAR(Value(user) + Value(privileged), pdhPercent, 0.5);
}

TEST_F(PdhCounters, EveryHostInterfaceIsAnInstanceAndTheTotalIsTheirSum) {
  const std::vector<std::string> names = HostInterfaces();
  std::vector<PDH_HCOUNTER> counters;
  for (const std::string& name : names) counters.push_back(Add("\\Network Interface(" + name + ")\\Bytes Total/sec"));
  const PDH_HCOUNTER total = Add("\\Network Interface(_Total)\\Bytes Total/sec");
  PDH_HCOUNTER loopback = nullptr;
  EXPECT_EQ(Pdh().addCounter(query, "\\Network Interface(lo)\\Bytes Total/sec", 0, &loopback),
            Status(PDH_CSTATUS_NO_INSTANCE));
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  Sleep(300);
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  double sum = 0;
  for (PDH_HCOUNTER counter : counters) sum += Value(counter);
  EXPECT_NEAR(Value(total), sum, 1e-6 * std::max(sum, 1.0));
  EXPECT_GE(sum, 0.0);
}

TEST_F(PdhCounters, DiskCountersSeeWritesReachTheDisk) {
  const PDH_HCOUNTER busy = Add("\\PhysicalDisk(_Total)\\% Disk Time");
  const PDH_HCOUNTER bytes = Add("\\PhysicalDisk(_Total)\\Disk Bytes/sec");
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  char folder[MAX_PATH];
  char name[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "pdh", 0, name);
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::vector<char> block(1 << 20, 'x');
  DWORD written = 0;
  for (int i = 0; i < 16; ++i) WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  FlushFileBuffers(file);
  CloseHandle(file);
  ASSERT_EQ(Pdh().collectQuery(query), ERROR_SUCCESS);
  // Flushed writes reach a disk only where the host has one (not on a memory-backed machine).
  if (HostHasDisk()) {
    EXPECT_GT(Value(bytes), 0.0);
  }
  EXPECT_GE(Value(busy), 0.0);
  EXPECT_LE(Value(busy), 100.0);
}

}  // namespace
