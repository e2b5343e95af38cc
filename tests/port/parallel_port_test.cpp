// Opening, writing and closing a port over a recording driver: the order of
// register accesses, the port names, and what each failure leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "port/parallel_port.h"
#include "tests/fakes/port_io_driver_fakes.h"

namespace {

using Calls = std::vector<std::string>;

class ParallelPortTest : public testing::Test {
 protected:
  void SetUp() override {
    CloseParallelPort();
    ResetPortState();
    ResetRecordingDriver();
    // BIOS words: LPT1 0x378, LPT2 0x278, LPT3 0x3BC, LPT4 0x2BC; a 32-bit
    // read also takes in the next port's word.
    driver.physical = {{0x408, 0x02780378}, {0x40A, 0x03BC0278}, {0x40C, 0x02BC03BC}, {0x40E, 0x00002BC}};
    driver.registers = {{0x77A, 0x35}, {0x378, 0x5A}, {0x37A, 0xCC}, {0x67A, 0x75}, {0x278, 0xC3}, {0x27A, 0xC4}};
  }
};

TEST_F(ParallelPortTest, OpenSavesThenSetsAndCloseRestoresInOrder) {
  ASSERT_EQ(OpenParallelPort("LPT1"), 0);
  EXPECT_EQ(driver.calls, (Calls{"load", "phys 408", "read 77a", "read 378", "read 37a", "write 77a 15", "write 378 0",
                                 "write 37a b"}));
  EXPECT_TRUE(CurrentPortState().isOpen);
  EXPECT_EQ(CurrentPortState().dataPort, 0x378);
  EXPECT_EQ(CurrentPortState().controlPort, 0x37A);
  EXPECT_EQ(CurrentPortState().ecrPort, 0x77A);

  driver.calls.clear();
  EXPECT_EQ(WriteParallelPort(0xA5), 0);
  EXPECT_EQ(WriteParallelPort(0xFF), 0);
  EXPECT_EQ(CloseParallelPort(), 0);
  EXPECT_EQ(driver.calls,
            (Calls{"write 378 a5", "write 378 ff", "write 378 5a", "write 37a cc", "write 77a 35", "unload"}));
  EXPECT_EQ(driver.registers[0x77A], 0x35u);
  EXPECT_EQ(driver.registers[0x378], 0x5Au);
  EXPECT_EQ(driver.registers[0x37A], 0xCCu);
  EXPECT_FALSE(CurrentPortState().isOpen);

  driver.calls.clear();
  EXPECT_EQ(CloseParallelPort(), 0);
  EXPECT_EQ(WriteParallelPort(0x12), 1);
  EXPECT_TRUE(driver.calls.empty());
}

TEST_F(ParallelPortTest, PortNumberComesFromTheFourthCharacter) {
  const struct {
    const char* name;
    int32_t code;
    const char* biosRead;  // null: nothing asked of the driver at all
  } rows[] = {
      {"LPT1", 0, "phys 408"},
      {"LPT4", 0, "phys 40e"},
      {"LPT2:", 0, "phys 40a"},
      {"LPT 3", 2, nullptr},  // a port name is LPT, the number and at most one ':'
      {"LPT+2", 2, nullptr},
      {"COM2", 2, nullptr},
      {"LPT0", 2, nullptr},
      {"LPT5", 2, nullptr},
      {"LPT9", 2, nullptr},
      {"LPT-1", 2, nullptr},
      {"LPT", 2, nullptr},
      {"LP", 2, nullptr},
      {"", 2, nullptr},
      {"LPTX1", 2, nullptr},
      {"LPT99999999999999999999999", 2, nullptr},
      {"LPT4294967297", 2, nullptr},  // 2^32 + 1: no wrap-around to 1
  };
  for (const auto& row : rows) {
    SetUp();
    EXPECT_EQ(OpenParallelPort(row.name), row.code) << '"' << row.name << '"';
    if (row.biosRead == nullptr) {
      EXPECT_TRUE(driver.calls.empty()) << row.name;
    } else {
      ASSERT_GE(driver.calls.size(), 2u) << row.name;
      EXPECT_EQ(driver.calls[1], row.biosRead) << row.name;
    }
    CloseParallelPort();
  }
}

TEST_F(ParallelPortTest, MissingNameLeavesAnOpenPortAlone) {
  ASSERT_EQ(OpenParallelPort("LPT1"), 0);
  driver.calls.clear();
  EXPECT_EQ(OpenParallelPort(nullptr), 1);
  EXPECT_TRUE(driver.calls.empty());
  EXPECT_TRUE(CurrentPortState().isOpen);
  EXPECT_EQ(WriteParallelPort(3), 0);
}

// Each failure, with a port open before: that port is restored and released
// first, then the new open stops at its step, writes back what it changed
// in the close's order and releases the library it loaded: every register
// stays as it was found.
TEST_F(ParallelPortTest, FailedOpenClosesThePortBeforeAndUndoesItsOwnSteps) {
  const Calls restoreLpt1 = {"write 378 5a", "write 37a cc", "write 77a 35", "unload"};
  const Calls upToBios = {"load", "phys 40a"};
  const Calls saved = {"load", "phys 40a", "read 67a", "read 278", "read 27a"};
  auto with = [](Calls calls, std::initializer_list<std::string> more) {
    calls.insert(calls.end(), more);
    return calls;
  };
  const struct {
    const char* what;
    const char* name;
    int32_t loadStatus;
    uint32_t failPhysicalAt;
    uint32_t lpt2BiosWords;
    uint16_t failReadAt;
    uint16_t failWriteAt;
    int32_t code;
    Calls trail;  // after the restore of LPT1
  } rows[] = {
      {"no port number", "LPT9", 0, 0, 0x278, 0, 0, 2, {}},
      {"driver", "LPT2", 10, 0, 0x278, 0, 0, 3, {"load"}},
      {"BIOS read", "LPT2", 0, 0x40A, 0x278, 0, 0, 5, with(upToBios, {"unload"})},
      {"no BIOS word", "LPT2", 0, 0, 0x03BC0000, 0, 0, 5, with(upToBios, {"unload"})},
      {"ECR read", "LPT2", 0, 0, 0x278, 0x67A, 0, 6, with(upToBios, {"read 67a", "unload"})},
      {"data read", "LPT2", 0, 0, 0x278, 0x278, 0, 7, with(upToBios, {"read 67a", "read 278", "unload"})},
      {"control read", "LPT2", 0, 0, 0x278, 0x27A, 0, 8, with(saved, {"unload"})},
      {"ECR write", "LPT2", 0, 0, 0x278, 0, 0x67A, 9, with(saved, {"write 67a 15", "write 67a 75", "unload"})},
      {"data write", "LPT2", 0, 0, 0x278, 0, 0x278, 10,
       with(saved, {"write 67a 15", "write 278 0", "write 278 c3", "write 67a 75", "unload"})},
      {"control write", "LPT2", 0, 0, 0x278, 0, 0x27A, 11,
       with(saved,
            {"write 67a 15", "write 278 0", "write 27a b", "write 278 c3", "write 27a c4", "write 67a 75", "unload"})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetUp();
    ASSERT_EQ(OpenParallelPort("LPT1"), 0);
    driver.calls.clear();
    driver.loadStatus = row.loadStatus;
    driver.failPhysicalAt = row.failPhysicalAt;
    driver.physical[0x40A] = row.lpt2BiosWords;
    driver.failReadAt = row.failReadAt;
    driver.failWriteAt = row.failWriteAt;

    EXPECT_EQ(OpenParallelPort(row.name), row.code);
    Calls expected = restoreLpt1;
    expected.insert(expected.end(), row.trail.begin(), row.trail.end());
    EXPECT_EQ(driver.calls, expected);
    EXPECT_FALSE(CurrentPortState().isOpen);
    EXPECT_FALSE(driver.bound);
    const std::map<uint16_t, uint32_t> asFound = {{0x77A, 0x35}, {0x378, 0x5A}, {0x37A, 0xCC},
                                                  {0x67A, 0x75}, {0x278, 0xC3}, {0x27A, 0xC4}};
    for (const auto& [address, value] : asFound) EXPECT_EQ(driver.registers[address], value) << std::hex << address;

    // Not open: nothing is written, and close does not touch the driver.
    driver.calls.clear();
    EXPECT_EQ(WriteParallelPort(1), 1);
    EXPECT_EQ(CloseParallelPort(), 0);
    EXPECT_TRUE(driver.calls.empty());
  }
}

TEST_F(ParallelPortTest, FailedWritesKeepThePortOpenAndCloseStillRestoresEverything) {
  ASSERT_EQ(OpenParallelPort("LPT1"), 0);
  driver.failWriteAt = 0x378;
  EXPECT_EQ(WriteParallelPort(0x0F), 2);
  EXPECT_TRUE(CurrentPortState().isOpen);

  driver.calls.clear();
  driver.failWriteAt = 0x37A;
  EXPECT_EQ(CloseParallelPort(), 0);
  EXPECT_EQ(driver.calls, (Calls{"write 378 5a", "write 37a cc", "write 77a 35", "unload"}));
  EXPECT_EQ(driver.registers[0x378], 0x5Au);
  EXPECT_EQ(driver.registers[0x77A], 0x35u);
  EXPECT_FALSE(CurrentPortState().isOpen);
}

TEST_F(ParallelPortTest, OpeningAgainClosesFirst) {
  ASSERT_EQ(OpenParallelPort("LPT1"), 0);
  EXPECT_EQ(WriteParallelPort(0xFF), 0);
  driver.calls.clear();
  ASSERT_EQ(OpenParallelPort("LPT2"), 0);
  EXPECT_EQ(driver.calls, (Calls{"write 378 5a", "write 37a cc", "write 77a 35", "unload", "load", "phys 40a",
                                 "read 67a", "read 278", "read 27a", "write 67a 15", "write 278 0", "write 27a b"}));
  EXPECT_EQ(CurrentPortState().dataPort, 0x278);
  EXPECT_EQ(CurrentPortState().savedEcr, 0x75u);
}

}  // namespace
