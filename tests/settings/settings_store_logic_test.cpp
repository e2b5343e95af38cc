// The settings store's order, codes and choices, against recording fakes of
// the registry primitives and the sources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/meter_settings.h"
#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "tests/fakes/store_fakes.h"

namespace {

// Every value in the order the store handles it.
std::vector<std::string> AllNamesInOrder() {
  std::vector<std::string> names;
  for (int n = 1; n <= 8; ++n) names.push_back("LED " + std::to_string(n) + " Source");
  for (int n = 1; n <= 8; ++n) {
    names.push_back("LED " + std::to_string(n) + " Floor");
    names.push_back("LED " + std::to_string(n) + " Ceiling");
  }
  names.push_back("Write Delay");
  names.push_back("Interpolation");
  return names;
}

std::vector<std::string> NamesUpTo(const std::string& last) {
  std::vector<std::string> names;
  for (const std::string& name : AllNamesInOrder()) {
    names.push_back(name);
    if (name == last) break;
  }
  return names;
}

class SettingsStoreLogicTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetMeterSettings();
    ResetStoreFakes();
  }
};

TEST_F(SettingsStoreLogicTest, LoadReadsAndSaveWritesEveryValueInOrder) {
  ASSERT_EQ(LoadSettings(), 0);
  EXPECT_EQ(CalledNames("read"), AllNamesInOrder());
  EXPECT_EQ(fakeSources.pdhCalls, 8u) << "the family is asked once for each LED";
  fakeRegistry.calls.clear();
  ASSERT_EQ(SaveSettings(), 0);
  EXPECT_EQ(CalledNames("write"), AllNamesInOrder());
}

TEST_F(SettingsStoreLogicTest, LoadStopsAtTheFirstFailedReadWithItsStep) {
  struct Row {
    const char* name;
    int32_t status;
  };
  const Row rows[] = {
      {"LED 1 Source", 1},  {"LED 8 Source", 1},  {"LED 1 Floor", 2}, {"LED 6 Floor", 2},
      {"LED 1 Ceiling", 3}, {"LED 8 Ceiling", 3}, {"Write Delay", 4}, {"Interpolation", 5},
  };
  for (const Row& r : rows) {
    ResetMeterSettings();
    ResetStoreFakes();
    fakeRegistry.dwords = {{"Write Delay", 7}, {"Interpolation", 2}};
    fakeRegistry.failName = r.name;
    fakeRegistry.failStatus = 4;
    EXPECT_EQ(LoadSettings(), r.status) << r.name;
    EXPECT_EQ(CalledNames("read"), NamesUpTo(r.name)) << r.name;
    int32_t led = 0, delay = 0;
    GetMeterOptions(&led, &delay);
    EXPECT_EQ(led, 0) << r.name << ": options applied after a failed load";
    EXPECT_EQ(delay, 40) << r.name;
  }
}

TEST_F(SettingsStoreLogicTest, SaveStopsAtTheFirstFailedWriteWithItsStep) {
  struct Row {
    const char* name;
    int32_t status;
  };
  const Row rows[] = {
      {"LED 1 Source", 1},  {"LED 4 Source", 1}, {"LED 1 Floor", 3},   {"LED 8 Floor", 3},
      {"LED 2 Ceiling", 4}, {"Write Delay", 6},  {"Interpolation", 7}, {"none", 0},
  };
  for (const Row& r : rows) {
    ResetStoreFakes();
    fakeRegistry.failName = r.name;
    fakeRegistry.failStatus = 3;
    EXPECT_EQ(SaveSettings(), r.status) << r.name;
    EXPECT_EQ(CalledNames("write"), NamesUpTo(r.name)) << r.name << ": values after the failure were written";
  }
}

TEST_F(SettingsStoreLogicTest, AnLedWithoutACounterPathSavesTheDefault) {
  ASSERT_EQ(LoadSettings(), 0);
  fakeSources.counterPaths[1] = "\\Memory\\Available MBytes";
  fakeSources.counterPaths[6].reset();  // its copy ran out of memory
  ASSERT_EQ(SaveSettings(), 0);
  EXPECT_EQ(fakeRegistry.strings["LED 2 Source"], "\\Memory\\Available MBytes");
  EXPECT_EQ(fakeRegistry.strings["LED 7 Source"], kDefaultCounterPath);
}

TEST_F(SettingsStoreLogicTest, TheFamilyIsAskedAfreshForEachLed) {
  fakeSources.pdhAnswers = {1, 0, 1, 0, 1, 0, 1, 0};
  ASSERT_EQ(LoadSettings(), 0);
  for (int32_t i = 0; i < kLedCount; ++i) {
    const std::string name = "LED " + std::to_string(i + 1) + " Source";
    EXPECT_EQ(fakeRegistry.strings[name], i % 2 == 0 ? kDefaultCounterPath : "CPU") << name;
    EXPECT_EQ(fakeSources.counterPaths[i].has_value(), i % 2 == 0) << name;
  }
}

}  // namespace
