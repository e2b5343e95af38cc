// A save that fails when the program ends: told at Quit, silent at the end of
// the session, and the port restored either way.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/program_fixture.h"

namespace {

TEST_F(ProgramTest, FailedSaveIsToldAtQuitAndThePortRestoredAlways) {
  const struct {
    const char* what;
    UINT message;  // sent to the poll window
    WPARAM wParam;
    const char* box;  // "" for none
  } rows[] = {
      {"Quit", WM_CLOSE, 0, "Could not save settings to the Registry!"},
      {"session end", WM_ENDSESSION, TRUE, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    DeleteSettingsKey();
    Start();
    ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
    HWND poll = PollWindow();
    ASSERT_NE(poll, nullptr);
    ASSERT_TRUE(MakeSettingsKeyReadOnly());
    PostMessageA(poll, row.message, row.wParam, 0);

    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(program, kStartMs, &box), row.box);
    if (box != nullptr) {
      EXPECT_FALSE(program.WaitForExit(0)) << "the box did not wait for OK";
      DismissMessageBox(box);
    }
    ExpectCleanExit(program);
    ExpectPortRestored();
  }
}

}  // namespace
