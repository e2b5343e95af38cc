// The configuration dialog over the real sources with the fake pdh.dll in
// force: counter paths on the labels, "..." opens the counter browser.
#include <cstdio>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "fake_pdh_control.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "tests/app/config_fixture.h"

namespace {

constexpr char kProcesses[] = "\\System\\Processes";

class ConfigPdhTest : public BackgroundWindowFixture {
 protected:
  void SetUp() override {
    StopPdhMonitor();
    log_ = fake_pdh::StartCompleteRun();
    ASSERT_FALSE(log_.empty());
    ASSERT_EQ(IsPdhAvailable(), 1);
    ASSERT_EQ(StartPdhMonitor(), 0);
    BackgroundWindowFixture::SetUp();
  }
  void TearDown() override {
    BackgroundWindowFixture::TearDown();
    StopPdhMonitor();
  }
  std::vector<std::string> Browses() const { return fake_pdh::ReadLogLines(log_, "browse "); }
  std::string log_;
};

TEST_F(ConfigPdhTest, LabelsShowCounterPaths) {
  ASSERT_EQ(SetCounterPath(kProcesses, 5), 0);
  Show();
  for (int32_t i = 0; i < kLedCount; ++i) {
    EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1 + i), i == 5 ? kProcesses : kDefaultCounterPath) << "LED index " << i;
  }
}

TEST_F(ConfigPdhTest, SourceButtonBrowsesForItsLedOwnedByTheDialogAndShowsTheChoice) {
  Show();
  fake_pdh::Set(fake_pdh::kBrowse, kProcesses);
  Click(IDC_CONFIG_SOURCE_BUTTON_3);
  const std::vector<std::string> browses = Browses();
  ASSERT_EQ(browses.size(), 1u);
  EXPECT_EQ(browses[0].rfind("browse caption=Select a value for LED 3 to watch. ", 0), 0u) << browses[0];
  char owner[32];
  std::snprintf(owner, sizeof owner, " owner=0x%llX ",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(dialog)));
  EXPECT_NE(browses[0].find(owner), std::string::npos) << browses[0];
  EXPECT_STREQ(GetCounterPath(2), kProcesses);
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_3), kProcesses);
  EXPECT_EQ(FindThreadWindow("Select Data Source"), nullptr);
}

TEST_F(ConfigPdhTest, CancelledBrowseLeavesTheLabel) {
  Show();
  Click(IDC_CONFIG_SOURCE_BUTTON_8);
  ASSERT_EQ(Browses().size(), 1u);
  EXPECT_EQ(Browses()[0].rfind("browse caption=Select a value for LED 8 to watch. ", 0), 0u);
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_8), kDefaultCounterPath);
}

TEST_F(ConfigPdhTest, LiveValuesAreTheCountersAsTheMeterReadsThemWithADashWhereOneFails) {
  SetMeterOptions(kInterpolationOff, 40);
  for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, 0, 100);
  SetLedRange(4, 61, 70);
  fake_pdh::Set(fake_pdh::kValues, "\\System\\Processes=61;\\Memory\\Available MBytes=3000");
  ASSERT_EQ(SetCounterPath(kProcesses, 4), 0);
  ASSERT_EQ(SetCounterPath("\\Memory\\Available MBytes", 5), 0);
  // LED 8's counter is refused, so it has none; LED 3's cannot be formatted.
  fake_pdh::Set(fake_pdh::kReject, "\\No\\Such");
  ASSERT_EQ(SetCounterPath("\\No\\Such", 7), kSetCounterPathNotAdded);
  fake_pdh::Set(fake_pdh::kFailFormat, "2");
  Show();
  const std::vector<std::string> expected = {"5 lit", "5 lit", "-", "5 lit", "61 lit", "3000 dark", "5 lit", "-"};
  for (int32_t i = 0; i < kLedCount; ++i) EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_1 + i), expected[i]) << i;
  EXPECT_EQ(FindThreadWindow("Pipstack"), nullptr) << "a failed read showed a box";
  EXPECT_FALSE(IsQuitRequested());
}

}  // namespace
