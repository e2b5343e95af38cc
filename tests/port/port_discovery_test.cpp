// Which ports discovery reports, over listings and probe answers the test sets.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "port/port_discovery.h"
#include "tests/fakes/port_probe_fakes.h"

namespace {

using Names = std::vector<std::string>;

std::vector<std::string> reported;
void Collect(const char* name) { reported.push_back(name); }

constexpr uint32_t kSerialSubType = 1;  // PST_RS232
constexpr PortProbe kParallel{true, true, kParallelPortSubType};
constexpr PortProbe kSerial{true, true, kSerialSubType};
constexpr PortProbe kNoProperties{true, false, 0};

class PortDiscoveryTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSpooler();
    reported.clear();
    ForgetPortName();
  }
};

TEST_F(PortDiscoveryTest, ReportsOpenableParallelPortsInListingOrder) {
  const struct {
    const char* what;
    Names listing;
    std::map<std::string, PortProbe> probes;
    Names probed;
    Names expected;
  } rows[] = {
      {"serial then two parallel",
       {"COM1:", "LPT1:", "LPT2:"},
       {{"COM1", kSerial}, {"LPT1", kParallel}, {"LPT2", kNoProperties}},
       {"COM1", "LPT1", "LPT2"},
       {"LPT1", "LPT2"}},
      {"parallel by provider, no LPT in name", {"PRN:"}, {{"PRN", kParallel}}, {"PRN"}, {"PRN"}},
      {"LPT whose properties query fails", {"LPT3:"}, {{"LPT3", kNoProperties}}, {"LPT3"}, {"LPT3"}},
      {"LPT that answers as serial", {"LPT3:"}, {{"LPT3", kSerial}}, {"LPT3"}, {"LPT3"}},
      {"LPT anywhere in the name", {"XLPTY:"}, {{"XLPTY", kNoProperties}}, {"XLPTY"}, {"XLPTY"}},
      {"name test is case-sensitive", {"lpt1:"}, {{"lpt1", kNoProperties}}, {"lpt1"}, {}},
      {"serial without LPT", {"COM3:", "FILE:"}, {{"COM3", kSerial}, {"FILE", kNoProperties}}, {"COM3", "FILE"}, {}},
      {"held by another program", {"LPT1:", "LPT2:"}, {{"LPT2", kNoProperties}}, {"LPT1", "LPT2"}, {"LPT2"}},
      {"parallel provider but cannot open",
       {"PRN:"},
       {{"PRN", PortProbe{false, true, kParallelPortSubType}}},
       {"PRN"},
       {}},
      {"no colon, passed whole", {"LPT2"}, {{"LPT2", kNoProperties}}, {"LPT2"}, {"LPT2"}},
      {"several colons, cut at the first", {"LPT1:x:y"}, {{"LPT1", kNoProperties}}, {"LPT1"}, {"LPT1"}},
      {"name starting with a colon", {":LPT1"}, {}, {""}, {}},
      {"empty listing", {}, {}, {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetUp();
    spooler.names = row.listing;
    spooler.probes = row.probes;
    EXPECT_EQ(EnumParallelPorts(Collect), 0);
    EXPECT_EQ(spooler.probed, row.probed);
    EXPECT_EQ(reported, row.expected);
    EXPECT_EQ(spooler.sizeQueries, 1);
    EXPECT_EQ(spooler.listings, 1);
  }
}

TEST_F(PortDiscoveryTest, FailedListingAndMissingCallback) {
  spooler.names = {"LPT1:"};
  spooler.probes = {{"LPT1", kParallel}};
  spooler.listingFails = true;
  EXPECT_EQ(EnumParallelPorts(Collect), 2);
  EXPECT_TRUE(spooler.probed.empty());
  EXPECT_TRUE(reported.empty());

  ResetFakeSpooler();
  spooler.names = {"LPT1:"};
  EXPECT_EQ(EnumParallelPorts(nullptr), 0);
  EXPECT_EQ(spooler.sizeQueries, 0);
  EXPECT_EQ(spooler.listings, 0);
}

TEST_F(PortDiscoveryTest, RememberFirstPortKeepsTheFirstNameAsItsOwnCopy) {
  spooler.names = {"COM1:", "LPT1:", "LPT2:"};
  spooler.probes = {{"COM1", kSerial}, {"LPT1", kParallel}, {"LPT2", kParallel}};
  EXPECT_EQ(EnumParallelPorts(RememberFirstPort), 0);
  // The walk's strings are gone; the kept name outlives them.
  ResetFakeSpooler();
  EXPECT_EQ(PortName(), "LPT1");

  RememberFirstPort("LPT2");
  RememberFirstPort(nullptr);
  EXPECT_EQ(PortName(), "LPT1");

  ForgetPortName();
  char name[] = "LPT3";
  RememberFirstPort(name);
  name[3] = '4';
  EXPECT_EQ(PortName(), "LPT3");
}

}  // namespace
