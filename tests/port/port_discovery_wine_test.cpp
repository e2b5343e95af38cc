// Discovery against Wine's own spooler. Wine opens LPT1 only when the
// prefix's dosdevices/lpt1 names an existing file; the test puts a plain file
// there for its run, through drive Z:, and LPT1 must be reported and kept.
// The path goes in the \\?\ form, which is taken literally; otherwise a
// final "lpt1" would name the device itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "port/port_discovery.h"

namespace {

std::vector<std::string> reported;
void Collect(const char* name) { reported.push_back(name); }

class PortDiscoveryWineTest : public testing::Test {
 protected:
  void SetUp() override {
    char prefix[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    ASSERT_TRUE(length > 0 && length < sizeof prefix) << "run through the build's wine-run.sh";
    device = std::string("\\\\?\\Z:") + prefix + "\\dosdevices\\lpt1";
    for (char& c : device) {
      if (c == '/') c = '\\';
    }
    const HANDLE file =
        CreateFileA(device.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << device << " exists already or cannot be made";
    CloseHandle(file);
  }
  void TearDown() override {
    if (!device.empty()) DeleteFileA(device.c_str());
  }
  std::string device;
};

TEST_F(PortDiscoveryWineTest, ReportsLpt1FirstAndKeepsIt) {
  reported.clear();
  ASSERT_EQ(EnumParallelPorts(Collect), 0);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), "LPT1");
  for (const std::string& name : reported) EXPECT_EQ(name.find(':'), std::string::npos) << name;

  ForgetPortName();
  ASSERT_EQ(EnumParallelPorts(RememberFirstPort), 0);
  EXPECT_EQ(PortName(), "LPT1");
}

}  // namespace
