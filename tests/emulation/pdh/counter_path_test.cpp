// Counter path parsing, canonical paths and instance-safe names.
#include "emulation/pdh/counter_path.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
  const char* text;
  PathStatus status;
  const char* machine;
  const char* object;
  const char* parent;
  const char* instance;
  unsigned long index;
  const char* counter;
};

TEST(CounterPath, ParsesEveryShapeAndRefusesMalformedOnes) {
  const PathCase cases[] = {
      {"\\Processor(_Total)\\% Processor Time", PATH_OK, "", "Processor", "", "_Total", 0, "% Processor Time"},
      {"\\Memory\\Available MBytes", PATH_OK, "", "Memory", "", "", 0, "Available MBytes"},
      {"\\\\VM\\System\\Threads", PATH_OK, "VM", "System", "", "", 0, "Threads"},
      {"\\Network Interface(Intel(R) Gigabit)\\Bytes Total/sec", PATH_OK, "", "Network Interface", "",
       "Intel(R) Gigabit", 0, "Bytes Total/sec"},
      {"\\Thread(app/3#2)\\% User Time", PATH_OK, "", "Thread", "app", "3", 2, "% User Time"},
      {"\\Process(a#b)\\X", PATH_OK, "", "Process", "", "a#b", 0, "X"},
      {"", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"Processor\\% Processor Time", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Processor", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Processor\\", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\\\\\Memory\\Committed Bytes", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\\\VM", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\(0)\\X", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Processor()\\X", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Processor(0\\X", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Processor(0)X\\Y", PATH_MALFORMED, "", "", "", "", 0, ""},
      {"\\Memory\\A\\B", PATH_MALFORMED, "", "", "", "", 0, ""},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.text);
    CounterPath path;
    ASSERT_EQ(ParseCounterPath(c.text, path), c.status);
    if (c.status != PATH_OK) continue;
    EXPECT_EQ(path.machine, c.machine);
    EXPECT_EQ(path.object, c.object);
    EXPECT_EQ(path.parent, c.parent);
    EXPECT_EQ(path.instance, c.instance);
    EXPECT_EQ(path.hasInstance, *c.instance != '\0');
    EXPECT_EQ(path.index, c.index);
    EXPECT_EQ(path.counter, c.counter);
  }
}

TEST(CounterPath, FormattedPathsParseBackToTheirParts) {
  EXPECT_EQ(FormatCounterPath("", "Processor", "_Total", "% Processor Time"), "\\Processor(_Total)\\% Processor Time");
  EXPECT_EQ(FormatCounterPath("VM", "Memory", "", "Committed Bytes"), "\\\\VM\\Memory\\Committed Bytes");
  CounterPath path;
  ASSERT_EQ(ParseCounterPath(FormatCounterPath("H", "Network Interface", "eth0 (x)", "Bytes Total/sec"), path),
            PATH_OK);
  EXPECT_EQ(path.machine, "H");
  EXPECT_EQ(path.instance, "eth0 (x)");
}

TEST(CounterPath, NamesMatchWithoutRegardToCase) {
  EXPECT_TRUE(SameName("% Processor Time", "% PROCESSOR time"));
  EXPECT_FALSE(SameName("Memory", "Memory "));
  EXPECT_FALSE(SameName("Memory", "Memorz"));
}

TEST(CounterPath, InstanceSafeNamesCannotBreakAPath) {
  EXPECT_EQ(InstanceSafeName("Intel(R) PRO/1000 #2\\x"), "Intel[R] PRO_1000 _2_x");
  CounterPath path;
  ASSERT_EQ(ParseCounterPath(FormatCounterPath("", "Network Interface", InstanceSafeName("a/b#1"), "C"), path),
            PATH_OK);
  EXPECT_EQ(path.instance, "a_b_1");
  EXPECT_EQ(path.index, 0u);
}

}  // namespace
