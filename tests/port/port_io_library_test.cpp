// Which port-I/O library the binding takes: WinIO.dll, the InpOut library and
// the virtual port, each absent, present, or present but failing to start, in
// every combination; and the InpOut binding's own calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/port_io_driver_win.h"

namespace {

std::string Log() {
  char text[4096] = "";
  const DWORD length = GetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", text, sizeof text);
  return length < sizeof text ? std::string(text, length) : std::string("(too long)");
}

void ClearLog() { SetEnvironmentVariableA("PIPSTACK_FAKE_WINIO_LOG", nullptr); }

// How often the log holds exactly this event.
int Count(const std::string& event) {
  int count = 0;
  const std::string log = " " + Log() + " ";
  for (size_t at = log.find(" " + event + " "); at != std::string::npos; at = log.find(" " + event + " ", at + 1)) {
    ++count;
  }
  return count;
}

enum Presence { kAbsent, kWorks, kFails };

// The three in the order they are tried, with the fake builds that stand in
// for each and the tag their log events carry.
struct Candidate {
  PortIoLibrary library;
  const char* fileName;
  std::string working;  // folder of the build that starts
  std::string failing;  // of the one that does not
  const char* tag;
};

std::vector<Candidate> Candidates() {
  const std::string winio = PIPSTACK_FAKE_WINIO_DIR;
  const std::string inpout = PIPSTACK_FAKE_INPOUT_DIR;
  return {
      {kPortIoWinIo, kWinIoLibraryName, winio + "/complete", winio + "/init_fails", ""},
      {kPortIoInpOut, kInpOutLibraryName, inpout + "/complete", inpout + "/driver_closed", "inpout:"},
      {kPortIoVirtual, kVirtualPortLibraryName, winio + "/virtual_complete", winio + "/virtual_init_fails", "virtual:"},
  };
}

// What a byte read from port 0x378 gives through each fake: WinIO's interface
// turns the address's high half over, InpOut's the low byte.
uint32_t ReadBack(PortIoLibrary library) { return library == kPortIoInpOut ? 0x87u : 0xABCD0378u; }

class PortIoLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    UnloadPortIoDriver();
    ClearLog();
  }
  void TearDown() override {
    UnloadPortIoDriver();
    SetDllDirectoryA(nullptr);
  }
};

TEST_F(PortIoLibraryTest, FirstLibraryThatStartsIsUsedInOrderAndTheOthersAreLetGo) {
  const std::vector<Candidate> candidates = Candidates();
  const std::string scratch = PIPSTACK_LIBRARY_ORDER_DIR;
  CreateDirectoryA(scratch.c_str(), nullptr);
  for (int combination = 0; combination < 27; ++combination) {
    const Presence presence[3] = {static_cast<Presence>(combination % 3), static_cast<Presence>(combination / 3 % 3),
                                  static_cast<Presence>(combination / 9)};
    const std::string folder = scratch + "/" + std::to_string(combination);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string what;
    int chosen = -1;  // the first that works
    for (int i = 0; i < 3; ++i) {
      const std::string target = folder + "/" + candidates[i].fileName;
      DeleteFileA(target.c_str());
      what += std::string(candidates[i].fileName) + (presence[i] == kAbsent  ? " absent "
                                                     : presence[i] == kWorks ? " works "
                                                                             : " fails ");
      if (presence[i] == kAbsent) continue;
      const std::string& from = presence[i] == kWorks ? candidates[i].working : candidates[i].failing;
      ASSERT_TRUE(CopyFileA((from + "/" + candidates[i].fileName).c_str(), target.c_str(), FALSE)) << target;
      if (presence[i] == kWorks && chosen < 0) chosen = i;
    }
    SCOPED_TRACE(what);
    ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
    ClearLog();

    const int32_t status = LoadPortIoDriver();
    if (chosen >= 0) {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(PortIoLibraryInUse(), candidates[chosen].library);
      uint32_t value = 0;
      EXPECT_TRUE(ReadPortValue(0x378, &value, 1));
      EXPECT_EQ(value, ReadBack(candidates[chosen].library));
    } else {
      // WinIO.dll's own code, and its failed binding stays loaded.
      EXPECT_EQ(status, presence[0] == kAbsent ? 1 : 10);
      EXPECT_EQ(PortIoLibraryInUse(), kPortIoNone);
      EXPECT_EQ(CurrentPortIoDriver().module != nullptr, presence[0] == kFails);
    }
    for (int i = 0; i < 3; ++i) {
      const std::string tag = candidates[i].tag;
      // Tried when present and nothing before it worked; after the one in
      // use, never even loaded.
      const bool tried = presence[i] != kAbsent && (chosen < 0 || i <= chosen);
      EXPECT_EQ(Count(tag + "attach"), tried ? 1 : 0) << candidates[i].fileName;
      const bool held = i == chosen || (chosen < 0 && i == 0 && presence[0] == kFails);
      EXPECT_EQ(GetModuleHandleA(candidates[i].fileName) != nullptr, held) << candidates[i].fileName;
      EXPECT_EQ(Count(tag + "detach"), tried && !held ? 1 : 0) << candidates[i].fileName;
    }

    UnloadPortIoDriver();
    EXPECT_EQ(PortIoLibraryInUse(), kPortIoNone);
    for (int i = 0; i < 3; ++i) {
      const std::string tag = candidates[i].tag;
      EXPECT_EQ(GetModuleHandleA(candidates[i].fileName), nullptr) << candidates[i].fileName;
      EXPECT_EQ(Count(tag + "detach"), Count(tag + "attach")) << candidates[i].fileName;
      // WinIO's interface is shut down once for every initialisation.
      if (i != 1) {
        EXPECT_EQ(Count(tag + "shutdown"), Count(tag + "init")) << candidates[i].fileName;
      }
    }
  }
}

TEST_F(PortIoLibraryTest, InpOutIsBoundOnlyWhenCompleteWithItsDriverOpen) {
  const struct {
    const char* variant;
    bool used;
    const char* logAfterLoad;
  } rows[] = {
      {"complete", true, "inpout:attach inpout:open?"},
      {"driver_closed", false, "inpout:attach inpout:open? inpout:detach"},
      {"no_IsInpOutDriverOpen", false, "inpout:attach inpout:detach"},
      {"no_DlPortReadPortUchar", false, "inpout:attach inpout:detach"},
      {"no_DlPortWritePortUchar", false, "inpout:attach inpout:detach"},
      {"no_GetPhysLong", false, "inpout:attach inpout:detach"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.variant);
    SetUp();
    ASSERT_TRUE(SetDllDirectoryA((std::string(PIPSTACK_FAKE_INPOUT_DIR) + "/" + row.variant).c_str()));
    EXPECT_EQ(LoadPortIoDriver(), row.used ? 0 : 1);
    EXPECT_EQ(PortIoLibraryInUse(), row.used ? kPortIoInpOut : kPortIoNone);
    EXPECT_EQ(Log(), row.logAfterLoad);
    EXPECT_EQ(CurrentPortIoDriver().module, nullptr);
  }
}

TEST_F(PortIoLibraryTest, InpOutAccessPassesThroughAndReleaseIsItsClose) {
  ASSERT_TRUE(SetDllDirectoryA((std::string(PIPSTACK_FAKE_INPOUT_DIR) + "/complete").c_str()));
  ASSERT_EQ(LoadPortIoDriver(), 0);
  ClearLog();
  uint32_t value = 0xFFFFFFFF;
  EXPECT_TRUE(ReadPortValue(0xD010, &value, 1));
  EXPECT_EQ(value, 0xEFu);
  EXPECT_TRUE(WritePortValue(0xD412, 0x1A5, 1)) << "InpOut reports nothing: the write counts as done";
  // Only byte-wide access exists; nothing is called for another width.
  EXPECT_FALSE(ReadPortValue(0x378, &value, 2));
  EXPECT_FALSE(WritePortValue(0x378, 1, 4));
  EXPECT_TRUE(ReadPhysicalLong(0x40E, &value));
  EXPECT_EQ(value, 0x410u);
  EXPECT_FALSE(ReadPhysicalLong(0, &value));
  EXPECT_EQ(Log(), "inpout:read d010 inpout:write d412 a5 inpout:phys 40e inpout:phys 0");

  ClearLog();
  UnloadPortIoDriver();
  UnloadPortIoDriver();
  EXPECT_EQ(Log(), "inpout:detach");
  EXPECT_FALSE(ReadPortValue(0x378, &value, 1));
  EXPECT_FALSE(WritePortValue(0x378, 1, 1));
  EXPECT_FALSE(ReadPhysicalLong(0x408, &value));
  EXPECT_EQ(Log(), "inpout:detach");
}

}  // namespace
