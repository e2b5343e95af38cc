// The end of a Windows session while a test sequence plays: Windows asks and
// tells with sent messages, which the sequence's hold lets through, so the
// settings are saved and the port restored before the program is ended.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/program_fixture.h"

namespace {

// Windows waits about this long for an answer before it ends a program.
constexpr UINT kAnswerMs = 5000;
// "At once", with room for a loaded machine; the full test lasts 12.8 s.
constexpr DWORD kPromptMs = 3000;

TEST_F(ProgramTest, SessionEndDuringATestSequenceSavesAndRestores) {
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  HWND poll = PollWindow();
  ASSERT_NE(poll, nullptr);
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), ""));
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
  ASSERT_NE(dialog, nullptr);
  HWND tests = OpenTestSequences(dialog);
  ASSERT_NE(tests, nullptr);
  const size_t before = LedBytes().size();
  PostMessageA(tests, WM_COMMAND, MAKEWPARAM(kFullTestButton, BN_CLICKED), 0);
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), before + 10, kStartMs)) << "the full test did not start";
  // A value changed behind the program's back shows that the save ran.
  ASSERT_TRUE(WriteSettingDword("LED 8 Ceiling", 12345));

  DWORD_PTR mayEnd = FALSE;
  const DWORD asked = GetTickCount();
  ASSERT_NE(SendMessageTimeoutA(poll, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kAnswerMs, &mayEnd), 0)
      << "the question went unanswered";
  EXPECT_LT(GetTickCount() - asked, kPromptMs);
  EXPECT_EQ(mayEnd, static_cast<DWORD_PTR>(TRUE));
  // The program ends while it handles this, so no answer comes back.
  SendMessageTimeoutA(poll, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kAnswerMs, nullptr);
  DWORD code = 1;
  ASSERT_TRUE(program.WaitForExit(kPromptMs, &code)) << "still running after the session ended";
  EXPECT_EQ(code, 0u);
  EXPECT_LT(LedBytes().size(), before + 256) << "the full test ran to its end";
  EXPECT_EQ(StoredDword("LED 8 Ceiling"), 100);
  ExpectPortRestored();
}

}  // namespace
