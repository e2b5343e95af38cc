// Binding pdh.dll: every variant of the fake library, the forwarders while
// unbound, and what rebinding and unbinding do to the loaded library.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_pdh_control.h"
#include "sources/pdh_binding_win.h"

namespace {

class PdhBindingTest : public testing::Test {
 protected:
  void SetUp() override {
    UnloadPdhBinding();
    fake_pdh::ClearAll();
    ASSERT_TRUE(fake_pdh::UseVariant("complete"));
  }
  void TearDown() override { UnloadPdhBinding(); }

  // Which entry points are in the table, in their order of binding.
  static std::vector<bool> Bound() {
    return {CurrentPdhBinding().openQuery != nullptr,       CurrentPdhBinding().closeQuery != nullptr,
            CurrentPdhBinding().addCounter != nullptr,      CurrentPdhBinding().removeCounter != nullptr,
            CurrentPdhBinding().browseCounters != nullptr,  CurrentPdhBinding().getFormattedCounterValue != nullptr,
            CurrentPdhBinding().collectQueryData != nullptr};
  }
};

TEST_F(PdhBindingTest, TheFirstMissingEntryPointIsNamedAndEarlierOnesStay) {
  struct Row {
    const char* variant;
    int32_t status;
  };
  const Row rows[] = {
      {"complete", 0},
      {"without-PdhOpenQueryA", 2},
      {"without-PdhCloseQuery", 3},
      {"without-PdhAddCounterA", 4},
      {"without-PdhRemoveCounter", 5},
      {"without-PdhBrowseCountersA", 6},
      {"without-PdhGetFormattedCounterValue", 7},
      {"without-PdhCollectQueryData", 8},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(fake_pdh::UseVariant(r.variant));
    EXPECT_EQ(LoadPdhBinding(), r.status) << r.variant;
    EXPECT_NE(CurrentPdhBinding().library, nullptr) << r.variant << ": a failed binding keeps the library";
    const std::vector<bool> bound = Bound();
    const size_t found = r.status == 0 ? bound.size() : static_cast<size_t>(r.status - 2);
    for (size_t i = 0; i < bound.size(); ++i) {
      EXPECT_EQ(bound[i], i < found) << r.variant << ", entry point " << i;
    }
  }
}

TEST_F(PdhBindingTest, UnboundForwardersAnswerOneWithoutACall) {
  PDH_HQUERY query = nullptr;
  PDH_HCOUNTER counter = nullptr;
  PDH_FMT_COUNTERVALUE value{};
  PDH_BROWSE_DLG_CONFIG_A config{};
  const auto expectAllUnbound = [&](const char* when) {
    EXPECT_EQ(BoundPdhOpenQueryA(nullptr, 0, &query), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhCloseQuery(query), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhAddCounterA(query, "\\System\\Processes", 0, &counter), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhRemoveCounter(counter), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhBrowseCountersA(&config), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhGetFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &value), kPdhNotBound) << when;
    EXPECT_EQ(BoundPdhCollectQueryData(query), kPdhNotBound) << when;
    EXPECT_EQ(query, nullptr) << when;
  };
  expectAllUnbound("never bound");
  ASSERT_EQ(LoadPdhBinding(), 0);
  UnloadPdhBinding();
  expectAllUnbound("after unbinding");
}

TEST_F(PdhBindingTest, RebindingReleasesTheEarlierLibraryFirst) {
  const std::string log = fake_pdh::StartLog();
  ASSERT_EQ(LoadPdhBinding(), 0);
  ASSERT_EQ(LoadPdhBinding(), 0);
  // Had the second load come before the release, the library would have
  // stayed mapped and logged no unload in between.
  EXPECT_EQ(fake_pdh::ReadLog(log), (std::vector<std::string>{"load", "unload", "load"}));
  UnloadPdhBinding();
  EXPECT_EQ(GetModuleHandleA("pdh.dll"), nullptr) << "unbinding frees the library";
  EXPECT_EQ(CurrentPdhBinding().library, nullptr);
  UnloadPdhBinding();  // harmless when unbound
  EXPECT_EQ(fake_pdh::ReadLog(log).size(), 4u);
}

}  // namespace
