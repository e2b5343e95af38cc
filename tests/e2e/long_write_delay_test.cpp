// A write delay far longer than anyone waits: the program still answers a
// second start, Quit and the end of the session at once, and saves.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/program_fixture.h"

namespace {

// 100 s after every LED byte: without an early end to the wait, nothing
// below would happen within the test's time.
constexpr int32_t kLongDelayMs = 100000;
// What the user accepts as "at once"; Wine's process start is inside it.
constexpr DWORD kPromptMs = 5000;

enum class Ending { kQuitButton, kSessionEnd };

TEST_F(ProgramTest, LongWriteDelayLeavesTheProgramResponsive) {
  const struct {
    const char* what;
    int32_t interpolation;
    Ending ending;
  } rows[] = {
      {"direct, Quit", -1, Ending::kQuitButton},
      {"interpolated, Quit", 0, Ending::kQuitButton},
      {"direct, session end", -1, Ending::kSessionEnd},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    DeleteSettingsKey();
    ASSERT_TRUE(WriteSettingDword("Write Delay", kLongDelayMs));
    ASSERT_TRUE(WriteSettingDword("Interpolation", row.interpolation));
    Start();
    ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 1, kStartMs));
    ASSERT_NE(PollWindow(), nullptr);
    Sleep(200);  // well inside the first wait

    // A second start gets its dialog and ends.
    ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), ""));
    HWND dialog = WaitForWindow(nullptr, kConfigTitle, kPromptMs, true);
    ASSERT_NE(dialog, nullptr) << "no dialog while the meter waits";
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(kPromptMs, &code));
    EXPECT_EQ(code, 0u);

    // A value changed behind the program's back shows that the save ran.
    ASSERT_TRUE(WriteSettingDword("LED 8 Ceiling", 12345));
    if (row.ending == Ending::kQuitButton) {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kQuitButton, BN_CLICKED), 0);
    } else {
      PostMessageA(PollWindow(), WM_ENDSESSION, TRUE, 0);
    }
    code = 1;
    ASSERT_TRUE(program.WaitForExit(kPromptMs, &code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(StoredDword("LED 8 Ceiling"), 100);
    EXPECT_EQ(StoredDword("Write Delay"), kLongDelayMs);
    EXPECT_EQ(LedBytes().size(), 1u) << "the meter went on before the delay was over";
    ExpectPortRestored();
  }
}

}  // namespace
