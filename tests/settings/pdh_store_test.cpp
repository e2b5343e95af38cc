// What only the PDH family does with the stored counter paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "tests/settings/scratch_registry.h"
#include "tests/settings/source_family.h"

namespace {

TEST(PdhStoreTest, ARefusedPathRunsDarkAndTheNextSaveKeepsIt) {
  ScratchRegistry registry;
  ASSERT_TRUE(registry.Ready());
  ASSERT_TRUE(StartSourceFamily());
  registry.PlantString("LED 2 Source", "CPU");  // left by the legacy family
  registry.PlantString("LED 3 Source", "\\No Such\\Counter");
  registry.PlantString("LED 4 Source", "\\System\\Processes");
  registry.PlantString("LED 5 Source", "");
  ASSERT_EQ(LoadSettings(), 0);
  EXPECT_STREQ(GetCounterPath(1), "CPU");
  EXPECT_STREQ(GetCounterPath(2), "\\No Such\\Counter");
  EXPECT_STREQ(GetCounterPath(3), "\\System\\Processes");
  EXPECT_STREQ(GetCounterPath(4), "");
  EXPECT_EQ(DarkCounterLeds(), LedBit(1) | LedBit(2) | LedBit(4));
  ASSERT_EQ(SaveSettings(), 0);
  EXPECT_EQ(AsText(registry.Read("LED 2 Source")), std::string("CPU", 4));
  EXPECT_EQ(AsText(registry.Read("LED 3 Source")), std::string("\\No Such\\Counter", 17));
  EXPECT_EQ(AsText(registry.Read("LED 4 Source")), std::string("\\System\\Processes", 18));
  EXPECT_EQ(AsText(registry.Read("LED 5 Source")), std::string("", 1));
  StopSourceFamily();
}

}  // namespace
