// Port names and addresses as the command line gives them, and where an
// opened port's base comes from: the address itself, Plug and Play, or the
// BIOS data area.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "port/parallel_port.h"
#include "port/port_address.h"
#include "tests/fakes/port_io_driver_fakes.h"
#include "tests/fakes/port_pnp_fakes.h"

namespace {

using Calls = std::vector<std::string>;

TEST(PortArgumentTest, NamesAndAddressesAreReadStrictly) {
  const struct {
    const char* text;
    PortArgumentKind kind;
    int32_t number;
    uint16_t base;
  } rows[] = {
      {"LPT1", kPortArgumentName, 1, 0},
      {"lpt2:", kPortArgumentName, 2, 0},
      {"LPT12", kPortArgumentName, 12, 0},  // a name; its number is checked at the open
      {"LPT1::", kPortArgumentBadName, 0, 0},
      {"LPT01", kPortArgumentBadName, 0, 0},
      {"LPT 3", kPortArgumentBadName, 0, 0},
      {"LPT1 ", kPortArgumentBadName, 0, 0},
      {"LPT1\xE9\xFC", kPortArgumentBadName, 0, 0},
      {"COM1", kPortArgumentBadName, 0, 0},
      {"LPT", kPortArgumentBadName, 0, 0},
      {nullptr, kPortArgumentBadName, 0, 0},
      {"0Xd01f", kPortArgumentAddress, 0, 0xD01F},
      {"0x100", kPortArgumentAddress, 0, 0x100},    // the lowest
      {"0xFBFD", kPortArgumentAddress, 0, 0xFBFD},  // the ECR at 0xFFFF
      {"0xFBFE", kPortArgumentBadAddress, 0, 0},    // the ECR beyond 0xFFFF
      {"0xFF", kPortArgumentBadAddress, 0, 0},      // among the PC's own devices
      {"0x", kPortArgumentBadAddress, 0, 0},
      {"0x0D010", kPortArgumentBadAddress, 0, 0},  // five digits
      {"0xD01G", kPortArgumentBadAddress, 0, 0},
      {"0xD010 ", kPortArgumentBadAddress, 0, 0},
      {"D010", kPortArgumentBadName, 0, 0},  // no 0x: not an address
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text != nullptr ? row.text : "(none)");
    const PortArgument argument = ReadPortArgument(row.text);
    EXPECT_EQ(argument.kind, row.kind);
    if (row.kind == kPortArgumentName) {
      EXPECT_EQ(argument.number, row.number);
    }
    if (row.kind == kPortArgumentAddress) {
      EXPECT_EQ(argument.base, row.base);
    }
  }
}

TEST(PortArgumentTest, PortNamesMatchTheirNumberOnly) {
  EXPECT_TRUE(NamesPort("lpt3:", 3));
  EXPECT_FALSE(NamesPort("LPT13", 1));
  EXPECT_FALSE(NamesPort("COM3", 3));
}

class PortBaseTest : public testing::Test {
 protected:
  void SetUp() override {
    CloseParallelPort();
    ResetPortState();
    ResetRecordingDriver();
    ResetFakePlugAndPlay();
    // The BIOS lists LPT1 at 0x378 and LPT2 at 0x278; a card sits at 0xD010.
    driver.physical = {{0x408, 0x02780378}, {0x40A, 0x00000278}, {0x40C, 0}, {0x40E, 0}};
    driver.registers = {{0x77A, 0x35}, {0x378, 0x5A}, {0x37A, 0xCC}, {0xD412, 0x55}, {0xD010, 0x96}, {0xD012, 0xC5}};
  }
  void TearDown() override { CloseParallelPort(); }
};

TEST_F(PortBaseTest, AnAddressIsOpenedWithoutTheBiosOrPlugAndPlay) {
  plugAndPlay.bases = {{1, 0x3BC}};
  ASSERT_EQ(OpenParallelPort("0xD010"), 0);
  EXPECT_EQ(driver.calls,
            (Calls{"load", "read d412", "read d010", "read d012", "write d412 15", "write d010 0", "write d012 b"}));
  EXPECT_TRUE(plugAndPlay.asked.empty());
  EXPECT_EQ(CurrentPortState().controlPort, 0xD012);
  EXPECT_EQ(CurrentPortState().ecrPort, 0xD412);

  driver.calls.clear();
  EXPECT_EQ(WriteParallelPort(0x81), 0);
  CloseParallelPort();
  EXPECT_EQ(driver.calls, (Calls{"write d010 81", "write d010 96", "write d012 c5", "write d412 55", "unload"}));
}

// Refused before the library is loaded: nothing reaches the driver, and a
// port open before is closed and restored as for any other failed open.
TEST_F(PortBaseTest, RefusedNamesAndAddressesTouchNoPort) {
  const struct {
    const char* text;
    int32_t code;
  } rows[] = {
      {"COM1", 2},  {"XYZ1", 2},    {"PRN2", 2}, {"LPT1\xE9\xFC", 2}, {"LPT1::", 2},  {"lpt5:", 2},
      {"0xFF", 12}, {"0xFBFE", 12}, {"0x", 12},  {"0x12345", 12},     {"0xD01G", 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    SetUp();
    ASSERT_EQ(OpenParallelPort("LPT1"), 0);
    driver.calls.clear();
    plugAndPlay.asked.clear();
    EXPECT_EQ(OpenParallelPort(row.text), row.code);
    EXPECT_EQ(driver.calls, (Calls{"write 378 5a", "write 37a cc", "write 77a 35", "unload"}));
    EXPECT_TRUE(plugAndPlay.asked.empty());
    EXPECT_FALSE(CurrentPortState().isOpen);
  }
  // A long name is refused as a whole, not by its first characters.
  EXPECT_EQ(OpenParallelPort(("LPT1" + std::string(4996, 'x')).c_str()), 2);
}

TEST_F(PortBaseTest, PlugAndPlayWinsOverTheBiosWhenItHasAUsableRange) {
  const struct {
    const char* what;
    const char* name;
    std::map<int32_t, uint32_t> assigned;
    uint16_t base;
    bool biosRead;
  } rows[] = {
      {"a card the BIOS does not list", "LPT3", {{3, 0xD010}}, 0xD010, false},
      {"the sources differ", "LPT1", {{1, 0xD010}}, 0xD010, false},
      {"the same port", "lpt1:", {{1, 0x378}}, 0x378, false},
      {"another port known", "LPT1", {{2, 0xD010}}, 0x378, true},
      {"nothing known", "LPT2", {}, 0x278, true},
      {"a range among the fixed devices", "LPT1", {{1, 0x80}}, 0x378, true},
      {"a range whose ECR leaves the I/O space", "LPT1", {{1, 0xFC00}}, 0x378, true},
      {"a range beyond 16 bits", "LPT1", {{1, 0x1D010}}, 0x378, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetUp();
    plugAndPlay.bases = row.assigned;
    ASSERT_EQ(OpenParallelPort(row.name), 0);
    EXPECT_EQ(plugAndPlay.asked.size(), 1u);
    EXPECT_EQ(CurrentPortState().dataPort, row.base);
    ASSERT_GE(driver.calls.size(), 2u);
    EXPECT_EQ(driver.calls[1].rfind("phys ", 0) == 0, row.biosRead) << driver.calls[1];
  }
  // Neither source knows LPT3: the open fails as without the BIOS word.
  SetUp();
  EXPECT_EQ(OpenParallelPort("LPT3"), 5);
}

}  // namespace
