// Dispatch while pdh.dll cannot be loaded: the legacy family is read, and
// every failure of it is told as the legacy family's.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dyn_data_scratch.h"
#include "sources/legacy_sources.h"
#include "sources/pdh_binding_win.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

namespace {

using LegacyDispatchTest = DynDataTest;

TEST_F(LegacyDispatchTest, WithoutTheLibraryThePdhFamilyCannotStart) {
  EXPECT_EQ(IsPdhAvailable(), 0);
  EXPECT_EQ(LoadPdhBinding(), 1);
  EXPECT_EQ(CurrentPdhBinding().library, nullptr);
  EXPECT_EQ(StartPdhMonitor(), 1);
  EXPECT_EQ(StopPdhMonitor(), 0);
}

TEST_F(LegacyDispatchTest, SamplesComeFromTheLegacySources) {
  PlantCpu({23, 0, 0, 0});
  SetSourceKind(5, 7);  // any kind but 0 reads memory
  LedValues values{};
  ASSERT_EQ(SampleAll(&values), kSampleOk);
  int32_t memory = 0;
  ReadMemoryUsedMb(&memory);
  for (int32_t i = 0; i < kLedCount; ++i) {
    if (i == 5) {
      EXPECT_NEAR(values[i], memory, 64);
    } else {
      EXPECT_EQ(values[i], 23) << "LED index " << i;
    }
  }
  int32_t value = 0;
  ASSERT_EQ(SampleOne(2, &value), kSampleOk);
  EXPECT_EQ(value, 23);
}

TEST_F(LegacyDispatchTest, EveryLegacyReadFailureIsTheLegacyFamilys) {
  // No statistic: the first LED on the processor fails, whichever it is.
  for (int32_t k = 0; k < kLedCount; ++k) {
    ResetSourceKinds();
    for (int32_t i = 0; i < k; ++i) SetSourceKind(i, kSourceMem);
    LedValues values{};
    EXPECT_EQ(SampleAll(&values), kSampleLegacyFailed) << "first processor LED " << k;
    int32_t value = 0;
    EXPECT_EQ(SampleOne(k, &value), kSampleLegacyFailed) << k;
  }
  EXPECT_EQ(SampleAll(nullptr), kSampleLegacyFailed);
}

TEST_F(LegacyDispatchTest, AnIndexOutsideTheRowIsTheLegacyFamilysFailure) {
  PlantCpu({1, 0, 0, 0});
  int32_t value = 0;
  for (int32_t index : {-1, 8, INT32_MAX}) EXPECT_EQ(SampleOne(index, &value), kSampleLegacyFailed) << index;
  EXPECT_EQ(SampleOne(0, nullptr), kSampleLegacyFailed);
}

}  // namespace
