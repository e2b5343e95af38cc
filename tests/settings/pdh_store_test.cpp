// What only the PDH family does with the stored counter paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "tests/settings/scratch_registry.h"
#include "tests/settings/source_family.h"

namespace {

TEST(PdhStoreTest, ARefusedPathLeavesTheDefaultWhichTheNextSaveWrites) {
  ScratchRegistry registry;
  ASSERT_TRUE(registry.Ready());
  ASSERT_TRUE(StartSourceFamily());
  registry.PlantString("LED 2 Source", "CPU");  // left by the legacy family
  registry.PlantString("LED 3 Source", "\\No Such\\Counter");
  registry.PlantString("LED 4 Source", "\\System\\Processes");
  ASSERT_EQ(LoadSettings(), 0);
  EXPECT_STREQ(GetCounterPath(1), kDefaultCounterPath);
  EXPECT_STREQ(GetCounterPath(2), kDefaultCounterPath);
  EXPECT_STREQ(GetCounterPath(3), "\\System\\Processes");
  ASSERT_EQ(SaveSettings(), 0);
  const std::string saved = std::string(kDefaultCounterPath) + '\0';
  EXPECT_EQ(AsText(registry.Read("LED 2 Source")), saved);
  EXPECT_EQ(AsText(registry.Read("LED 3 Source")), saved);
  EXPECT_EQ(AsText(registry.Read("LED 4 Source")), std::string("\\System\\Processes", 18));
  StopSourceFamily();
}

}  // namespace
