// Binding WinIO.dll for real, against fake builds of it: codes 1 to 10, the
// access operations, and one shutdown and release per loaded library.
#include <gtest/gtest.h>

#include <string>

#include "port/port_io_driver_win.h"

namespace {

std::string Log() {
  char text[4096] = "";
  const DWORD length = GetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", text, sizeof text);
  return length < sizeof text ? std::string(text, length) : std::string("(too long)");
}

void UseVariant(const char* variant) {
  const std::string folder = std::string(PIPSTACK_FAKE_WINIO_DIR) + "/" + variant;
  ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
}

// How many slots are filled, counted in resolution order; -1 when a filled
// slot follows an empty one.
int ResolvedPrefix() {
  const bool filled[] = {
      CurrentPortIoDriver().InitializeWinIo != nullptr, CurrentPortIoDriver().ShutdownWinIo != nullptr,
      CurrentPortIoDriver().GetPortVal != nullptr,      CurrentPortIoDriver().SetPortVal != nullptr,
      CurrentPortIoDriver().GetPhysLong != nullptr,     CurrentPortIoDriver().SetPhysLong != nullptr,
      CurrentPortIoDriver().MapPhysToLin != nullptr,    CurrentPortIoDriver().UnmapPhysicalMemory != nullptr,
  };
  int count = 0;
  while (count < 8 && filled[count]) ++count;
  for (int i = count; i < 8; ++i) {
    if (filled[i]) return -1;
  }
  return count;
}

class PortIoDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    UnloadPortIoDriver();
    SetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", nullptr);
  }
  void TearDown() override {
    UnloadPortIoDriver();
    SetDllDirectoryA(nullptr);
  }
};

TEST_F(PortIoDriverTest, MissingEntryPointFailsWithItsCodeAndStaysLoaded) {
  const struct {
    const char* variant;
    int32_t code;
  } rows[] = {
      {"no_InitializeWinIo", 2}, {"no_ShutdownWinIo", 3}, {"no_GetPortVal", 4},   {"no_SetPortVal", 5},
      {"no_GetPhysLong", 6},     {"no_SetPhysLong", 7},   {"no_MapPhysToLin", 8}, {"no_UnmapPhysicalMemory", 9},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.variant);
    SetUp();
    UseVariant(row.variant);
    EXPECT_EQ(LoadPortIoDriver(), row.code);
    EXPECT_NE(CurrentPortIoDriver().module, nullptr);
    EXPECT_EQ(ResolvedPrefix(), row.code - 2);
    EXPECT_EQ(Log(), "attach");  // never initialised

    // Whatever was resolved can be called; an absent entry fails quietly.
    uint32_t value = 0;
    const bool hasGet = row.code > 4, hasSet = row.code > 5, hasPhys = row.code > 6;
    EXPECT_EQ(ReadPortValue(0x378, &value, 1), hasGet);
    EXPECT_EQ(WritePortValue(0x378, 7, 1), hasSet);
    EXPECT_EQ(ReadPhysicalLong(0x408, &value), hasPhys);

    SetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", nullptr);
    UnloadPortIoDriver();
    EXPECT_EQ(Log(), row.code > 3 ? "shutdown detach" : "detach");
    EXPECT_EQ(CurrentPortIoDriver().module, nullptr);
    EXPECT_EQ(ResolvedPrefix(), 0);
  }
}

TEST_F(PortIoDriverTest, FailedInitialisationIsStillShutDownOnce) {
  UseVariant("init_fails");
  EXPECT_EQ(LoadPortIoDriver(), 10);
  EXPECT_EQ(ResolvedPrefix(), 8);
  UnloadPortIoDriver();
  UnloadPortIoDriver();
  EXPECT_EQ(Log(), "attach init shutdown detach");
}

TEST_F(PortIoDriverTest, NoLibraryLeavesEverythingEmpty) {
  UseVariant("none");
  EXPECT_EQ(LoadPortIoDriver(), 1);
  EXPECT_EQ(CurrentPortIoDriver().module, nullptr);
  EXPECT_EQ(ResolvedPrefix(), 0);
  uint32_t value = 0x55;
  EXPECT_FALSE(ReadPortValue(0x378, &value, 1));
  EXPECT_FALSE(WritePortValue(0x378, 1, 1));
  EXPECT_FALSE(ReadPhysicalLong(0x408, &value));
  EXPECT_EQ(value, 0x55u);
  UnloadPortIoDriver();
  EXPECT_EQ(Log(), "");
}

TEST_F(PortIoDriverTest, AccessPassesArgumentsAndResultsThrough) {
  UseVariant("complete");
  ASSERT_EQ(LoadPortIoDriver(), 0);
  uint32_t value = 0;
  EXPECT_TRUE(ReadPortValue(0x378, &value, 1));
  EXPECT_EQ(value, 0xABCD0378u);
  EXPECT_FALSE(ReadPortValue(0, &value, 2));
  EXPECT_TRUE(WritePortValue(0x77A, 0x1A5, 1));
  EXPECT_FALSE(WritePortValue(0, 0xFFFFFFFFu, 4));
  EXPECT_TRUE(ReadPhysicalLong(0x40E, &value));
  EXPECT_EQ(value, 0x40Fu);
  EXPECT_FALSE(ReadPhysicalLong(0, &value));
  EXPECT_EQ(Log(), "attach init get 378 1 get 0 2 set 77a 1a5 1 set 0 ffffffff 4 phys 40e phys 0");
}

TEST_F(PortIoDriverTest, LoadingAgainShutsDownAndReleasesOnceInBetween) {
  UseVariant("complete");
  ASSERT_EQ(LoadPortIoDriver(), 0);
  ASSERT_EQ(LoadPortIoDriver(), 0);
  EXPECT_EQ(Log(), "attach init shutdown detach attach init");

  SetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", nullptr);
  UnloadPortIoDriver();
  UnloadPortIoDriver();
  EXPECT_EQ(Log(), "shutdown detach");

  // Unbound: nothing reaches the library, which is gone anyway.
  uint32_t value = 0;
  EXPECT_FALSE(ReadPortValue(0x378, &value, 1));
  EXPECT_FALSE(WritePortValue(0x378, 1, 1));
  EXPECT_FALSE(ReadPhysicalLong(0x408, &value));
  EXPECT_EQ(Log(), "shutdown detach");
  EXPECT_EQ(GetModuleHandleA("WinIO.dll"), nullptr);
}

}  // namespace
