// Discovery against Wine's own spooler, with LPT1 backed by a file (set up by
// the lpt1-device.sh fixture): LPT1 is reported and kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/port_discovery.h"

namespace {

std::vector<std::string> reported;
void Collect(const char* name) { reported.push_back(name); }

TEST(PortDiscoveryWineTest, ReportsLpt1FirstAndKeepsIt) {
  reported.clear();
  ASSERT_EQ(EnumParallelPorts(Collect), 0);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), "LPT1");
  for (const std::string& name : reported) EXPECT_EQ(name.find(':'), std::string::npos) << name;

  portName.clear();
  ASSERT_EQ(EnumParallelPorts(RememberFirstPort), 0);
  EXPECT_EQ(portName, "LPT1");
}

}  // namespace
