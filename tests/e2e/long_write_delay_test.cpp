// A write delay far longer than anyone waits: the program still answers a
// second start, Quit and the end of the session at once, and saves; and a
// dialog shown in the middle of a glide stops it there.
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
    EXPECT_EQ(LedBytes().size(), 1u) << "the meter went on before the delay was over";
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
    // The pass that handles Quit ends with its update cycle, as every pass
    // of the loop does; that cycle's pause ends at once.
    EXPECT_LE(LedBytes().size(), 2u) << "the meter went on after Quit";
    ExpectPortRestored();
  }
}

// Shown in the middle of a glide, the dialog stops it at once: a test pattern
// played from it is all that reaches the port until Close, and the glide
// then goes on from the frame last shown.
TEST_F(ProgramTest, DialogShownMidGlideStopsItUntilClose) {
  constexpr int32_t kDelayMs = 400;  // the rest of an unstopped glide: seconds of LED bytes
  ASSERT_TRUE(WriteSettingDword("Write Delay", kDelayMs));
  ASSERT_TRUE(WriteSettingDword("Interpolation", 0));
  SetCounterValue(100);
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), ""));
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kPromptMs, true);
  ASSERT_NE(dialog, nullptr);
  const size_t shown = LedBytes().size();
  ASSERT_LT(shown, 8u) << "the glide was over before the dialog came";
  Sleep(3 * kDelayMs);
  EXPECT_EQ(LedBytes().size(), shown) << "the glide went on while the dialog is shown";

  HWND tests = OpenTestSequences(dialog);
  ASSERT_NE(tests, nullptr);
  PlayShortTest(tests);
  PostMessageA(tests, WM_COMMAND, MAKEWPARAM(kTestCloseButton, BN_CLICKED), 0);
  Sleep(2 * kDelayMs);
  const std::vector<int32_t> bytes = LedBytes();
  const std::vector<int32_t> played(bytes.begin() + static_cast<std::ptrdiff_t>(shown), bytes.end());
  EXPECT_EQ(played, kShortTestPattern) << "the test pattern did not reach the port unbroken";

  // Close: the glide goes on from the frame last shown, not from where it began.
  const std::vector<int32_t> before = LedBytes();
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCloseButton, BN_CLICKED), 0);
  // Without a window manager Wine may hold the program for seconds as it
  // hides the dialog.
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), before.size() + 1, kStartMs));
  EXPECT_EQ(LedBytes()[before.size()], before[shown - 1]);
  Quit();
}

}  // namespace
