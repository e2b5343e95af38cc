// A stored counter the system does not have: that LED runs dark, the others
// meter, and its stored path survives the run unchanged.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/program_fixture.h"

namespace {

class DarkLedTest : public ProgramTest {
 protected:
  static void StoreSources(const std::vector<std::pair<const char*, const char*>>& sources) {
    for (const auto& [name, path] : sources) ASSERT_TRUE(WriteSettingString(name, path)) << name;
  }
};

TEST_F(DarkLedTest, LedWhoseStoredCounterIsMissingRunsDarkAndKeepsItsPath) {
  const struct {
    const char* what;
    std::vector<std::pair<const char*, const char*>> sources;
    int32_t interpolation;
    int32_t counterValue;
    int32_t steadyByte;  // after the first cycle's glide
  } rows[] = {
      // 45 lies in the windows of LEDs 1 to 5: 31 without LED 3.
      {"a counter that does not exist", {{"LED 3 Source", "\\No Such\\Counter"}}, -1, 45, 31 & ~4},
      // 90 lies in every window: 255 without LEDs 1 and 8.
      {"an empty path and a typo",
       {{"LED 1 Source", ""}, {"LED 8 Source", "\\Processor(_Total)\\% Procesor Time"}},
       -1,
       90,
       255 & ~1 & ~128},
      // The value that drives all eight is missing: none lights.
      {"interpolation on the dark LED", {{"LED 3 Source", "\\No Such\\Counter"}}, 2, 90, 0},
      // LED 1's value drives every LED, LED 3 included.
      {"interpolation on another LED", {{"LED 3 Source", "\\No Such\\Counter"}}, 0, 90, 255},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    DeleteSettingsKey();
    StoreSources(row.sources);
    ASSERT_TRUE(WriteSettingDword("Write Delay", 5));
    ASSERT_TRUE(WriteSettingDword("Interpolation", row.interpolation));
    SetCounterValue(row.counterValue);
    Start();
    ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 24, kStartMs)) << "the meter did not run";
    const std::vector<int32_t> bytes = LedBytes();
    for (size_t i = 8; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], row.steadyByte) << "byte " << i;
    Quit();
    for (const auto& [name, path] : row.sources) {
      std::string stored;
      EXPECT_TRUE(ReadSettingString(name, &stored)) << name;
      EXPECT_EQ(stored, path) << name;
    }
  }
}

}  // namespace
