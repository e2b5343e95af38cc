// What only the legacy family does with the stored source texts.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "sources/source_kinds.h"
#include "tests/settings/scratch_registry.h"
#include "tests/settings/source_family.h"

namespace {

TEST(LegacyStoreTest, OnlyTheExactTextCpuSelectsTheProcessor) {
  ScratchRegistry registry;
  ASSERT_TRUE(registry.Ready());
  ASSERT_TRUE(StartSourceFamily());
  registry.PlantString("LED 3 Source", "cpu");
  registry.PlantString("LED 4 Source", "\\Processor(_Total)\\% Processor Time");  // left by the PDH family
  registry.PlantString("LED 5 Source", "CPU");
  ASSERT_EQ(LoadSettings(), 0);
  EXPECT_EQ(GetSourceKind(2), kSourceMem);
  EXPECT_EQ(GetSourceKind(3), kSourceMem);
  EXPECT_EQ(GetSourceKind(4), kSourceCpu);
  ASSERT_EQ(SaveSettings(), 0);
  EXPECT_EQ(AsText(registry.Read("LED 3 Source")), std::string("MEM", 4));
  EXPECT_EQ(AsText(registry.Read("LED 4 Source")), std::string("MEM", 4));
  EXPECT_EQ(AsText(registry.Read("LED 5 Source")), std::string("CPU", 4));
  StopSourceFamily();
}

}  // namespace
