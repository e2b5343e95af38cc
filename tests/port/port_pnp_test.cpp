// The Plug and Play lookup against a fake cfgmgr32.dll whose devices each
// case scripts: which device names the port, its allocated I/O range, and
// every configuration handle given back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "port/port_pnp.h"

namespace {

std::string PnpLog() {
  char text[4096] = "";
  const DWORD length = GetEnvironmentVariableA("PIPSTACK_FAKE_PNP_LOG", text, sizeof text);
  return length < sizeof text ? std::string(text, length) : std::string("(too long)");
}

class PlugAndPlayTest : public testing::Test {
 protected:
  void TearDown() override {
    SetDllDirectoryA(nullptr);
    SetEnvironmentVariableA("PIPSTACK_FAKE_PNP_DEVICES", nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PipstackFakePnp");
  }
  void Use(const char* variant, const char* devices) {
    ASSERT_TRUE(SetDllDirectoryA((std::string(PIPSTACK_FAKE_CFGMGR32_DIR) + "/" + variant).c_str()));
    SetEnvironmentVariableA("PIPSTACK_FAKE_PNP_DEVICES", devices);
    SetEnvironmentVariableA("PIPSTACK_FAKE_PNP_LOG", nullptr);
  }
};

TEST_F(PlugAndPlayTest, TheDeviceNamedByItsPortNameGivesItsFirstAllocatedRange) {
  const struct {
    const char* what;
    const char* devices;
    int32_t number;
    bool found;
    uint32_t base;
    const char* log;  // every handle taken is given back
  } rows[] = {
      {"a card", "Ports LPT3 D010", 3, true, 0xD010, "config 1 range 1 free range 1 free config 1"},
      {"after a serial port", "Ports COM1 3F8;Ports LPT1 E000", 1, true, 0xE000,
       "config 2 range 2 free range 2 free config 2"},
      {"the port list's form", "Ports lpt2: C800", 2, true, 0xC800, "config 1 range 1 free range 1 free config 1"},
      {"a range the port access refuses", "Ports LPT1 1D010", 1, true, 0x1D010,
       "config 1 range 1 free range 1 free config 1"},
      {"no I/O range", "Ports LPT1 -", 1, false, 0, "config 1 free config 1"},
      {"no allocated configuration", "Ports LPT1 none", 1, false, 0, ""},
      {"another port's name", "Ports LPT3 D010", 1, false, 0, ""},
      {"a longer number", "Ports LPT12 D010", 1, false, 0, ""},
      {"no port name", "Ports - D010", 1, false, 0, ""},
      {"another class", "Net LPT1 D010", 1, false, 0, ""},
      {"no devices", "", 1, false, 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Use("complete", row.devices);
    uint32_t base = 0x1234;
    EXPECT_EQ(PlugAndPlayPortBase(row.number, &base), row.found);
    if (row.found) {
      EXPECT_EQ(base, row.base);
    }
    EXPECT_EQ(PnpLog(), row.log);
    EXPECT_EQ(GetModuleHandleA("cfgmgr32.dll"), nullptr) << "the library is released after the lookup";
  }
}

TEST_F(PlugAndPlayTest, ALibraryWithoutAResourceCallIsNotAsked) {
  Use("no_CM_Get_Res_Des_Data", "Ports LPT1 D010");
  uint32_t base = 0;
  EXPECT_FALSE(PlugAndPlayPortBase(1, &base));
  EXPECT_EQ(PnpLog(), "");
}

}  // namespace
