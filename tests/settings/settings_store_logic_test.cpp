// The settings store's order, codes and choices, against recording fakes of
// the registry primitives and the sources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/meter_settings.h"
#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "sources/source_kinds.h"
#include "tests/settings/store_fakes.h"

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

TEST_F(SettingsStoreLogicTest, FirstLoadReadsEveryValueInOrderAndFillsTheModels) {
  for (int32_t pdh : {1, 0}) {
    ResetMeterSettings();
    ResetStoreFakes();
    fakeSources.pdhAnswers = {pdh};
    fakeSources.kinds.fill(kSourceMem);
    ASSERT_EQ(LoadSettings(), 0);
    EXPECT_EQ(CalledNames("read"), AllNamesInOrder());
    EXPECT_EQ(fakeSources.pdhCalls, 8u) << "the family is asked once for each LED";
    const int32_t floors[] = {0, 10, 20, 30, 40, 55, 70, 85};
    for (int32_t i = 0; i < kLedCount; ++i) {
      int32_t floor = -9, ceiling = -9;
      ASSERT_EQ(GetLedRange(i, &floor, &ceiling), 0);
      EXPECT_EQ(floor, floors[i]);
      EXPECT_EQ(ceiling, 100);
      if (pdh) {
        EXPECT_EQ(fakeSources.counterPaths[i].value_or("none"), kDefaultCounterPath);
      } else {
        EXPECT_EQ(fakeSources.kinds[i], kSourceCpu);
        EXPECT_FALSE(fakeSources.counterPaths[i]);
      }
    }
    int32_t led = 5, delay = 5;
    ASSERT_EQ(GetMeterOptions(&led, &delay), 0);
    EXPECT_EQ(led, kInterpolationOff);
    EXPECT_EQ(delay, 40);
  }
}

TEST_F(SettingsStoreLogicTest, LoadStopsAtTheFirstFailedReadWithItsStep) {
  struct Row {
    const char* name;
    int32_t status;
  };
  const Row rows[] = {
      {"LED 1 Source", 1}, {"LED 8 Source", 1},  {"LED 1 Floor", 2},   {"LED 6 Floor", 2},
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
      {"LED 1 Source", 1}, {"LED 4 Source", 1}, {"LED 1 Floor", 3},    {"LED 8 Floor", 3},
      {"LED 2 Ceiling", 4}, {"Write Delay", 6}, {"Interpolation", 7},  {"none", 0},
  };
  for (const Row& r : rows) {
    ResetStoreFakes();
    fakeRegistry.failName = r.name;
    fakeRegistry.failStatus = 3;
    EXPECT_EQ(SaveSettings(), r.status) << r.name;
    EXPECT_EQ(CalledNames("write"), NamesUpTo(r.name)) << r.name << ": values after the failure were written";
  }
}

TEST_F(SettingsStoreLogicTest, SaveWritesTheModelsAsTheyAre) {
  SetLedRange(0, -5, 7);
  SetLedRange(7, 90, 10);
  SetMeterOptions(6, 1);
  fakeSources.pdhAnswers = {0};
  fakeSources.kinds = {kSourceCpu, kSourceMem, 2, kSourceCpu, kSourceMem, kSourceCpu, -7, kSourceCpu};
  ASSERT_EQ(SaveSettings(), 0);
  const char* texts[] = {"CPU", "MEM", "MEM", "CPU", "MEM", "CPU", "MEM", "CPU"};
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(fakeRegistry.strings["LED " + std::to_string(n) + " Source"], texts[n - 1]) << "LED " << n;
  }
  EXPECT_EQ(fakeRegistry.dwords["LED 1 Floor"], -5);
  EXPECT_EQ(fakeRegistry.dwords["LED 1 Ceiling"], 7);
  EXPECT_EQ(fakeRegistry.dwords["LED 8 Floor"], 90);
  EXPECT_EQ(fakeRegistry.dwords["LED 8 Ceiling"], 10);
  EXPECT_EQ(fakeRegistry.dwords["Write Delay"], 1);
  EXPECT_EQ(fakeRegistry.dwords["Interpolation"], 6);
}

TEST_F(SettingsStoreLogicTest, LegacySourceTextsMatchCpuExactly) {
  struct Row {
    const char* stored;
    int32_t kind;
    const char* saved;
  };
  const Row rows[] = {
      {"CPU", kSourceCpu, "CPU"}, {"cpu", kSourceMem, "MEM"},  {"CPU ", kSourceMem, "MEM"},
      {"CP", kSourceMem, "MEM"},  {"", kSourceMem, "MEM"},     {"MEM", kSourceMem, "MEM"},
      {"\\Processor(_Total)\\% Processor Time", kSourceMem, "MEM"},
  };
  for (const Row& r : rows) {
    ResetStoreFakes();
    fakeSources.pdhAnswers = {0};
    fakeRegistry.strings["LED 3 Source"] = r.stored;
    ASSERT_EQ(LoadSettings(), 0);
    EXPECT_EQ(fakeSources.kinds[2], r.kind) << '"' << r.stored << '"';
    EXPECT_EQ(fakeSources.kinds[1], kSourceCpu);
    ASSERT_EQ(SaveSettings(), 0);
    EXPECT_EQ(fakeRegistry.strings["LED 3 Source"], r.saved) << '"' << r.stored << '"';
  }
}

TEST_F(SettingsStoreLogicTest, StoredOptionsTheModelRefusesLeaveTheCurrentOnes) {
  struct Row {
    int32_t storedDelay, storedInterpolation;
    int32_t led, delay;  // in the model after the load, and so saved
  };
  const Row rows[] = {
      {0, -1, -1, 40},   // interpolation off, the delay refused
      {-3, 4, 4, 40},
      {40, 9, 0, 40},    // interpolation refused: both options stay
      {25, -2, 0, 40},
      {25, 7, 7, 25},
  };
  for (const Row& r : rows) {
    ResetMeterSettings();
    ResetStoreFakes();
    fakeRegistry.dwords = {{"Write Delay", r.storedDelay}, {"Interpolation", r.storedInterpolation}};
    ASSERT_EQ(LoadSettings(), 0);
    ASSERT_EQ(SaveSettings(), 0);
    EXPECT_EQ(fakeRegistry.dwords["Interpolation"], r.led) << r.storedDelay << ", " << r.storedInterpolation;
    EXPECT_EQ(fakeRegistry.dwords["Write Delay"], r.delay) << r.storedDelay << ", " << r.storedInterpolation;
  }
}

TEST_F(SettingsStoreLogicTest, CounterPathsGoBothWaysAndAMissingOneSavesTheDefault) {
  fakeRegistry.strings["LED 2 Source"] = "\\Memory\\Available MBytes";
  fakeRegistry.strings["LED 5 Source"] = "CPU";  // written by the legacy family
  fakeSources.rejectedPath = "CPU";
  ASSERT_EQ(LoadSettings(), 0) << "a refused path does not stop the load";
  EXPECT_EQ(fakeSources.counterPaths[1].value_or(""), "\\Memory\\Available MBytes");
  EXPECT_EQ(fakeSources.counterPaths[4].value_or(""), kDefaultCounterPath);

  fakeSources.counterPaths[6].reset();  // its copy ran out of memory
  ASSERT_EQ(SaveSettings(), 0);
  EXPECT_EQ(fakeRegistry.strings["LED 2 Source"], "\\Memory\\Available MBytes");
  EXPECT_EQ(fakeRegistry.strings["LED 5 Source"], kDefaultCounterPath);
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
